# The Windows package is made by scripts/windows (zip and NSIS installer): nothing to install from CMake.
