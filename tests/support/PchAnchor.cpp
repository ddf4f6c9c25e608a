// Gives the precompiled-header library an object of its own.
