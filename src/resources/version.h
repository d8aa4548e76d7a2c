/* The module's version and the texts of its version resource: one
   definition for vrpph.rc (windres preprocesses this file), the tests and
   the installer. Plain C preprocessor only. */
#ifndef VRPPH_VERSION_H
#define VRPPH_VERSION_H

#define VRPPH_VERSION_MAJOR 1
#define VRPPH_VERSION_MINOR 0
#define VRPPH_VERSION_PATCH 0
#define VRPPH_VERSION_BUILD 76
/* As the version resource has always spelled it. */
#define VRPPH_VERSION_TEXT "1, 0, 0, 76"
/* As programs talking to the module see it. */
#define VRPPH_VERSION_DOTTED "1.0.0.76"
#define VRPPH_FILE_DESCRIPTION "vrpph Module"
#define VRPPH_PRODUCT_NAME "vrpph Module"
#define VRPPH_COMMENTS "Browser download plugin"
#define VRPPH_INTERNAL_NAME "vrpph"
#define VRPPH_ORIGINAL_FILENAME "vrpph.DLL"

#endif
