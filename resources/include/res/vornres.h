// Registers the compiled-in icons and style sheet (":/icons/…", ":/style/…").
// A static library's resources are registered only when asked; calling this
// more than once is harmless.
#pragma once

void vornInitResources();
