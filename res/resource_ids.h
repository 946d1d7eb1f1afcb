/* Resource numbers shared by the resource script and the code. */
#ifndef GEARRACK_RESOURCE_IDS_H
#define GEARRACK_RESOURCE_IDS_H

#define IDR_MAINFRAME 5 /* the program's icon */

#define IDS_PROCESSOR_TYPE 0
#define IDS_PRODUCT_NAME 1
#define IDS_ABOUT_MENU 101
#define IDS_DISK_SPACE 102
#define IDS_REQUIRED_SPACE 103
#define IDS_INCORRECT_BUILD 104
#define IDS_ABOUT_VERSION 105
#define IDS_ABOUT_CAPTION 106
#define IDS_FRAMEWORK_MISSING 108
#define IDS_NOT_ADMINISTRATOR 109
#define IDS_INSTALLER_ENGINE 110
#define IDS_FILE_CORRUPT 111
#define IDS_WIZARD_EXIT_CODE 112
#define IDS_RUN_FAILED 113
#define IDS_USAGE 114
#define IDS_FRAMEWORK_SP_MISSING 115
#define IDS_PROCESSOR_MODE 135
#define IDS_VERIFY_QUESTION 137
#define IDS_FRAMEWORK_LEVEL_FIRST 138 /* .NET 2.0; then 3.0, 3.5, 4.0 Client and Full, 4.5 Client and Full */
#define IDS_ADMIN_REQUIRED 145
#define IDS_PROGRAM_NAME 201

#define IDD_TEMP_FOLDER 146  /* the prompt for another working folder root */
#define IDC_TEMP_FOLDER 1005 /* its edit box */

#define IDD_ABOUTBOX 100        /* the about box */
#define IDI_ABOUT 128           /* the about box's icon: not in the program, so left blank */
#define IDC_ABOUT_VERSION 1001  /* its version line */
#define IDC_ABOUT_NOTICE 1002   /* its notice line */
#define IDD_MESSAGE 102         /* the message dialog */
#define IDB_BANNER 130          /* its banner picture */
#define IDC_MESSAGE 1000        /* its message text */
#define IDC_LINK 1001           /* its link line */
#define IDC_HEADING 1003        /* its bold heading */
#define IDD_SPLASH 131          /* the splash window */
#define IDB_SPLASH 133          /* its picture */
#define ID_ABOUT_COMMAND 0x0010 /* the system-menu entry that opens the about box */
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#include "version.h"

#endif
