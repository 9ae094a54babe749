// Resource ids, shared by the resource script and the program code.
#ifndef DUNVATEL_RESOURCES_RESOURCE_H
#define DUNVATEL_RESOURCES_RESOURCE_H

#define IDS_TITLE 1
#define IDS_CLASS 3
#define IDS_TOOLS 104

#define IDI_APP 101
#define IDR_MENUBAR 102
#define IDD_ABOUT 103
#define IDD_MAIN 104
#define IDR_ACCELERATORS 3

#define IDC_STYLE_LIST 1003
#define IDC_SET_STANDARD 1004
#define IDC_EXPORT_CUSTOM 1007
#define IDC_IMPORT_CUSTOM 1008
#define IDC_DELETE_CUSTOM 1012
#define IDC_COPY_TO_CUSTOM 1013

#define IDM_TOOLS 40001
#define IDM_ABOUT 40003

#endif
