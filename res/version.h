/* The program's version, written here only: the version resource (version.rc), the about
   box, the application manifest (made from app.manifest.in by the build) and the release
   (scripts/release) all read it from this file. */
#ifndef GEARRACK_RES_VERSION_H
#define GEARRACK_RES_VERSION_H

#define GEARRACK_VERSION_MAJOR 1
#define GEARRACK_VERSION_MINOR 8
#define GEARRACK_VERSION_BUILD 2
#define GEARRACK_VERSION_REVISION 372

#endif
