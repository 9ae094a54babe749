// The handheld's side of the resource script: names the script needs that the device's own
// headers may not give. Plain #defines, each only where the headers have none.
#ifndef DUNVATEL_PLATFORM_WINCE_RESOURCES_H
#define DUNVATEL_PLATFORM_WINCE_RESOURCES_H

// The menu-bar record's "no image" index. The Windows CE reference gives it to no version
// (its value is the desktop's, -2), so the Pocket PC 2000 headers may lack it; where they have
// it, theirs stands.
#ifndef I_IMAGENONE
#define I_IMAGENONE (-2)
#endif

#endif
