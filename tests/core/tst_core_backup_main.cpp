// The backup area's core tests as one program: the descriptor, deletion, export and import
// (tst_core_backup), the import's guards against data loss (tst_core_import) and against
// replacing or granting what is not the set's (tst_core_import_scope) and the export's
// trustworthiness on the writing side (tst_core_export), backups between files and a server
// installation (tst_core_backup_server), and a data file filled through its pages (tst_core_pages).
// Each class runs in turn; the program fails when any of them does.
#include <QCoreApplication>
#include <QtTest>

#include <memory>

// Each test source makes its own test object.
QObject* newBackupTests();
QObject* newImportTests();
QObject* newImportScopeTests();
QObject* newExportTests();
QObject* newServerBackupTests();
QObject* newPageWriterTests();

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int status = 0;
    for (QObject* (*make)() : {newBackupTests, newImportTests, newImportScopeTests, newExportTests, newServerBackupTests, newPageWriterTests}) {
        std::unique_ptr<QObject> tests(make());
        status |= QTest::qExec(tests.get(), argc, argv);
    }
    return status;
}
