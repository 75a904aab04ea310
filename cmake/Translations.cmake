# Each library and program that shows text carries its English translation, i18n/<target>_en.ts,
# compiled into it as ":/i18n/<target>_en.qm" (Language::install loads every one it finds). The
# Chinese texts in the code are the source strings. `cmake --build BUILD --target update_translations`
# brings the .ts files up to date with the code (new texts come in unfinished, gone ones leave);
# the test translations_complete fails while a shown text has no translation.
find_package(Qt6 REQUIRED COMPONENTS LinguistTools)

set(REVOZI_TS_OPTIONS -source-language zh_CN -target-language en -no-obsolete -locations none)

function(revozi_translations target)
  set(ts ${PROJECT_SOURCE_DIR}/i18n/${target}_en.ts)
  qt_add_translations(${target} TS_FILES ${ts} RESOURCE_PREFIX /i18n LUPDATE_OPTIONS ${REVOZI_TS_OPTIONS})
  # The check reads the same sources the target is built from: one absolute path a line.
  get_target_property(sources ${target} SOURCES)
  list(FILTER sources INCLUDE REGEX "\\.(cpp|h)$")
  list(TRANSFORM sources PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ REGEX "^[^/]")
  list(JOIN sources "\n" lines)
  file(WRITE ${PROJECT_BINARY_DIR}/i18n/${target}.sources "${lines}\n")
  set_property(GLOBAL APPEND PROPERTY REVOZI_TRANSLATIONS ${target})
endfunction()
