#pragma once
// Registers the installation data (:/data/...) kept in the static library revozi_data.
// Resources in a static library are registered only when this is called once before use.
void revoziInitDataResources();
