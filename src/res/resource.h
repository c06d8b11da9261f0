// Resource, control, command, message and timer ids, in one place.
// Kept free of C++ so that the resource compiler can read it too.
#pragma once

// Templates, menus, strings and the icon
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_VESKARO_DIALOG 102
#define IDR_MAINFRAME 128
#define IDR_MENU_MAIN 130
#define IDR_MENU_TRAY 131
#define IDD_SETTINGS 134
#define IDD_BLACK_SCREEN 136
#define IDD_SCHEDULES 138
#define IDD_SCHEDULE_EDIT 139
#define IDD_NOTICE 140

// Main window (template 102)
#define IDC_DAY1 1000
#define IDC_DAY2 1001
#define IDC_DAY3 1002
#define IDC_DAY4 1003
#define IDC_DAY5 1004
#define IDC_DAY6 1005
#define IDC_DAY7 1006
#define IDC_TIME_TURN_OFF 1007
#define IDC_DAY8 1008
#define IDC_DAY9 1009
#define IDC_DAY10 1010
#define IDC_DAY11 1011
#define IDC_DAY12 1012
#define IDC_DAY13 1013
#define IDC_DAY14 1014
#define IDC_TIME_TURN_ON 1015
#define IDC_TURN_OFF_LOCK_PC 1016
#define IDC_STATUS 1017
#define IDC_HIDE 1018
#define IDC_MENU 1019
#define IDC_AUTO_DISPLAY_BLACK_SCREEN 1027
#define IDC_MONITOR_STATE_LIST 1032

// Settings dialog (template 134)
#define IDC_ALLOW_MULTIPLE_INSTANCES 1023
#define IDC_START_AT_LOGIN 1024
#define IDC_AUTO_TURN_OFF_WHEN_LOCKED 1025
#define IDC_LOCK_TURN_OFF_DELAY 1026
#define IDC_KEEP_A_LOG 1027
#define IDC_LOG_FILE_PATH 1028
#define IDC_SELECT_LOG_FILE 1029
#define IDC_SPEAK_MONITOR_ON 1030
#define IDC_MONITOR_ON_TEXT 1031
#define IDC_SPEAK_MONITOR_OFF 1032
#define IDC_MONITOR_OFF_TEXT 1033
#define IDC_KEEP_MONITORS_OFF 1034
#define IDC_WAKE_FOR_TURN_ON 1035
#define IDC_KEEP_MONITORS_ON_WHEN_SCHEDULED 1036
#define IDC_TURN_OFF_WHEN_IDLE 1037
#define IDC_IDLE_MINUTES 1038
#define IDC_TURN_OFF_AGAIN_WHEN_IDLE 1039
#define IDC_FADE_BEFORE_IDLE_TURN_OFF 1040
#define IDC_NOTICE_BEFORE_TURN_OFF 1041
#define IDC_NOTICE_MINUTES 1042

// Schedules dialog (template 138); the schedule editor (template 139) has the main window's
// schedule controls, with their ids
#define IDC_SCHEDULE_LIST 1050
#define IDC_SCHEDULE_ADD 1051
#define IDC_SCHEDULE_EDIT 1052
#define IDC_SCHEDULE_REMOVE 1053
// The notice before a scheduled turn-off (template 140)
#define IDC_NOTICE_TEXT 1060
#define IDC_NOTICE_POSTPONE 1061
#define IDC_NOTICE_NOT_TONIGHT 1062
#define IDC_NOTICE_TURN_OFF_NOW 1063

// Menu commands (menus 130 and 131)
#define ID_EXIT 32771
#define ID_TURN_OFF_MONITORS_NOW 32772
#define ID_TURN_OFF_AND_ON_AFTER_10_SECONDS 32773
#define ID_HOW_CAN_MONITORS_TURN_ON 32774
#define ID_CONTACT_SUPPORT 32775
#define ID_HIDE_TO_SYSTEM_TRAY 32776
#define ID_TRAY_EXIT 32777
#define ID_CONFIGURE 32778
#define ID_LOCK_PC_NOW 32779
#define ID_SETTINGS 32780
#define ID_SHARE_LINK 32781
#define ID_DISPLAY_BLACK_SCREEN 32782
#define ID_CLEAR_MONITOR_STATE_LIST 32783
#define ID_SKIP_NEXT_TURN_OFF 32784
#define ID_SCHEDULES 32785
#define ID_POSTPONE_NEXT_TURN_OFF 32786

// System menu item appended at initialisation
#define IDM_ABOUTBOX 0x0010

// Private window messages (WM_USER is 0x0400)
#define WM_TRAY_NOTIFY (0x0400 + 1)
#define WM_INSTANCE_HANDSHAKE (0x0400 + 3)
#define WM_INSTANCE_QUERY (0x0400 + 4)
#define WM_OPTIONS_CHANGED (0x0400 + 5) // posted to the other instances: the shared options changed
#define WM_NOTICE_CHOICE (0x0400 + 6)   // from the notice: wParam is the button's id

// Timers of the main window:
//   1 TIMER_TURN_ON        10000 ms, one-shot: turn-on after "Turn Off ... Turn On After 10 Seconds"
//   2 TIMER_SCHEDULE        1000 ms, from initialisation until the window ends: the schedule tick
//   3 TIMER_LOCK_TURN_OFF   the lock delay, one-shot: turn-off after a session lock
//   4 TIMER_QUIET_INPUT      100 ms, at most about 5 s: a turn-off after the user's input waits for quiet input
//   5 TIMER_KEEP_OFF        2000 ms, one-shot: monitors that came on without input go off again
//   6 TIMER_WAKE_HOLD       from a resume to a few minutes past the turn-on it was woken for, one-shot
//   7 TIMER_FADE             250 ms, ten seconds at most: the fade before a turn-off made for idleness
#define TIMER_TURN_ON 1
#define TIMER_SCHEDULE 2
#define TIMER_LOCK_TURN_OFF 3
#define TIMER_QUIET_INPUT 4
#define TIMER_KEEP_OFF 5
#define TIMER_WAKE_HOLD 6
#define TIMER_FADE 7

// Tray icon id
#define TRAY_ICON_ID 90
