#pragma once
// Resource types and ids shared by the resource script and the code.
#define IDI_INSTALLER 100
#define IDS_WINDOW_CLASS 109
#define RT_TRANSLATION 1000
#define ID_FIRST_TRANSLATION 1001
#define ID_LAST_TRANSLATION 1017
#define RT_ARCHIVE_TOOL 2000
#define ID_ARCHIVE_TOOL 2001
#define RT_LOGO 3000
#define ID_LOGO 3001
