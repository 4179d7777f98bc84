// The host's plug-in interface, declared by us as the host lays it out on 32-bit Windows: the
// suite broker, every suite the plug-in acquires with its whole table at the version acquired,
// the callbacks the host calls, the constants and the entry point. Names are the host's own, so
// that moving onto the vendor's declarations means changing the one include of this file.
//
// A suite is a table of 4-byte function pointers (on 32-bit Windows): entry n sits at byte 4n.
// Every entry keeps its place; an entry the plug-in never calls is an untyped pointer. Fixed-width
// integers stand for the host's `long` (4 bytes on Windows) so that the native build of the
// simulator lays the tables out alike (with 8-byte pointers). All functions and callbacks use the
// compiler's default C convention (cdecl): the host's SPAPI, ASAPI and ADMAPI markers are empty
// on Windows.
//
// AEGP operations answer an A_Err (0 for success) and give values through pointers. ADM
// operations give their results directly and report no errors: a failure shows only as a null
// reference or an empty answer.
//
// Where the host's own tables were not available to us (Register suite version 4, Proj suite
// version 5), the declaration stops where the confirmed versions on either side stop agreeing;
// the README lists these assumptions.
#pragma once

#include <stdint.h>

extern "C" {

// ---- basic types -----------------------------------------------------------------------
typedef int32_t A_long;
typedef uint32_t A_u_long;
typedef int16_t A_short;
typedef char A_char;
typedef unsigned char A_Boolean;  // 1 byte
typedef double A_FpLong;
typedef A_long A_Err;

typedef A_long AEGP_PluginID;
typedef A_long AEGP_Command;
typedef A_long AEGP_HookPriority;
typedef A_long AEGP_MenuID;      // a C enum on the host: 4 bytes
typedef A_long AEGP_WindowType;  // a C enum on the host: 4 bytes
typedef A_short AEGP_ItemType;   // 2 bytes
typedef A_long AEGP_ItemFlags;

// Handles are pointers to opaque pointers; refcons are pointers to opaque structures.
typedef struct _AEGP_Project** AEGP_ProjectH;
typedef struct _AEGP_Item** AEGP_ItemH;
typedef struct _AEGP_GlobalRefcon* AEGP_GlobalRefcon;
typedef struct _AEGP_CommandRefcon* AEGP_CommandRefcon;
typedef struct _AEGP_UpdateMenuRefcon* AEGP_UpdateMenuRefcon;

typedef int32_t SPErr;
typedef int32_t ASErr;
typedef int32_t ASInt32;
typedef uint32_t ASUInt32;
typedef int32_t SPBoolean;   // 4 bytes on Windows (an int)
typedef int32_t ASBoolean;   // 4 bytes on Windows (an int)
typedef int32_t ADMBoolean;  // 4 bytes on Windows (an int)
typedef void* ADMUserData;
typedef const char* ADMItemType;  // one of the kADM...Type strings below
typedef struct SPPlugin* SPPluginRef;
typedef void* ASWindowRef;  // HWND
typedef struct _Opaque_ADMDialog* ADMDialogRef;
typedef struct _Opaque_ADMItem* ADMItemRef;
typedef struct _Opaque_ADMList* ADMListRef;
typedef struct _Opaque_ADMEntry* ADMEntryRef;
typedef struct _Opaque_ADMNotifier* ADMNotifierRef;

typedef struct ASRect {
  int32_t left, top, right, bottom;
} ASRect;

// The host's file path record on Windows: a path of at most 299 bytes and its NUL.
typedef struct SPPlatformFileSpecification {
  char path[300];
} SPPlatformFileSpecification;

// ---- constants -------------------------------------------------------------------------
enum {
  A_Err_NONE = 0,
  A_Err_GENERIC = 1,
  A_Err_STRUCT = 2,
  A_Err_PARAMETER = 3,
  A_Err_ALLOC = 4,
  A_Err_MISSING_SUITE = 13,
};
enum {
  AEGP_Menu_NONE = 0,
  AEGP_Menu_APPLE = 1,
  AEGP_Menu_FILE = 2,
  AEGP_Menu_EDIT = 3,
  AEGP_Menu_COMPOSITION = 4,
  AEGP_Menu_LAYER = 5,
  AEGP_Menu_EFFECT = 6,
  AEGP_Menu_WINDOW = 7,
};
enum {
  AEGP_MENU_INSERT_SORTED = -2,
  AEGP_MENU_INSERT_AT_BOTTOM = -1,
  AEGP_MENU_INSERT_AT_TOP = 0,
};
enum { AEGP_HP_BeforeAE = 1, AEGP_HP_AfterAE = 2 };
enum { AEGP_Command_ALL = 0 };
enum {
  AEGP_ItemType_NONE = 0,
  AEGP_ItemType_FOLDER = 1,
  AEGP_ItemType_COMP = 2,
  AEGP_ItemType_SOLID = 3,
  AEGP_ItemType_FOOTAGE = 4,
};
enum {
  AEGP_WindType_NONE = 0,
  AEGP_WindType_PROJECT = 1,
  AEGP_WindType_COMP = 2,
  AEGP_WindType_TIME_LAYOUT = 3,
  AEGP_WindType_LAYER = 4,
  AEGP_WindType_FOOTAGE = 5,
  AEGP_WindType_RENDER_QUEUE = 6,
  AEGP_WindType_QT = 7,
  AEGP_WindType_DIALOG = 8,
  AEGP_WindType_FLOWCHART = 9,
  AEGP_WindType_EFFECT = 10,
  AEGP_WindType_OTHER = 11,
};
// Buffer sizes, the NUL included.
enum {
  AEGP_MAX_ITEM_NAME_SIZE = 32,
  AEGP_MAX_PATH_SIZE = 260,
  AEGP_MAX_PROJ_NAME_SIZE = 48,
  AEGP_MAX_TYPE_NAME_SIZE = 32,
};

enum { kSPNoError = 0, kSPSuiteNotFoundError = 0x53214664 /* 'S!Fd' */ };

typedef enum ADMDialogStyle {
  kADMModalDialogStyle = 0,
  kADMAlertDialogStyle = 1,
  kADMFloatingDialogStyle = 2,
  kADMTabbedFloatingDialogStyle = 3,
  kADMResizingFloatingDialogStyle = 4,
  kADMTabbedResizingFloatingDialogStyle = 5,
  kADMPopupDialogStyle = 6,
  kADMNoCloseFloatingDialogStyle = 7,
  kADMDummyDialogStyle = 0xFFFFFFFF
} ADMDialogStyle;

enum {
  kADMUniqueItemID = 0,
  kADMFirstItemID = -1,
  kADMLastItemID = -2,
  kADMDefaultItemID = -3,
  kADMCancelItemID = -4,
};

#define kADMTextStaticType "ADM Text Static Type"
#define kADMTextStaticMultiLineType "ADM Text Static Multi Line Type"
#define kADMTextEditType "ADM Text Edit Type"
#define kADMTextEditMultiLineType "ADM Text Edit Multi Line Type"
#define kADMTextPushButtonType "ADM Text Push Button Type"
#define kADMTextRadioButtonType "ADM Text Radio Button Type"
#define kADMTextCheckBoxType "ADM Text Check Box Type"
#define kADMPopupListType "ADM Popup List Type"
#define kADMTextEditPopupType "ADM Text Edit Popup Type"
#define kADMListBoxType "ADM List Box Type"
#define kADMFrameType "ADM Frame Type"
#define kADMItemGroupType "ADM Item Group Type"

#define kADMUserChangedNotifier "ADM User Changed Notifier"
#define kADMBoundsChangedNotifier "ADM Bounds Changed Notifier"
#define kADMCloseHitNotifier "ADM Close Hit Notifier"

// ---- callbacks the host calls ----------------------------------------------------------
// A menu command was chosen. The hook sets *handledPB when the command was its own.
typedef A_Err (*AEGP_CommandHook)(AEGP_GlobalRefcon plugin_refconP, AEGP_CommandRefcon refconP,
                                  AEGP_Command command, AEGP_HookPriority hook_priority,
                                  A_Boolean already_handledB, A_Boolean* handledPB);
// The host is about to show its menus.
typedef A_Err (*AEGP_UpdateMenuHook)(AEGP_GlobalRefcon plugin_refconP,
                                     AEGP_UpdateMenuRefcon refconP, AEGP_WindowType active_window);
// Something happened to an item (a click, a pick). The item suite's DefaultNotify does the
// host's standard part (radio groups, list selection, popup text).
typedef void (*ADMItemNotifyProc)(ADMItemRef inItem, ADMNotifierRef inNotifier);
typedef ASErr (*ADMItemInitProc)(ADMItemRef inItem);
typedef ASErr (*ADMDialogInitProc)(ADMDialogRef inDialog);

// ---- "SP Basic Suite" 4: the suite broker (handed to the entry point) ------------------
#define kSPBasicSuite "SP Basic Suite"
#define kSPBasicSuiteVersion 4
typedef struct SPBasicSuite {
  /* 0 */ SPErr (*AcquireSuite)(const char* name, int32_t version, const void** suite);
  /* 1 */ SPErr (*ReleaseSuite)(const char* name, int32_t version);
  /* 2 */ void* IsEqual;
  /* 3 */ void* AllocateBlock;
  /* 4 */ void* FreeBlock;
  /* 5 */ void* ReallocateBlock;
  /* 6 */ void* Undefined;
} SPBasicSuite;

// ---- "AEGP Command Suite" 1 = AEGP_CommandSuite1 ---------------------------------------
#define kAEGPCommandSuite "AEGP Command Suite"
#define kAEGPCommandSuiteVersion1 1
typedef struct AEGP_CommandSuite1 {
  /* 0 */ A_Err (*AEGP_GetUniqueCommand)(AEGP_Command* unique_commandP);
  /* 1 */ A_Err (*AEGP_InsertMenuCommand)(AEGP_Command command, const A_char* nameZ,
                                          AEGP_MenuID menu_id, A_long after_item);
  /* 2 */ void* AEGP_RemoveMenuCommand;
  /* 3 */ void* AEGP_SetMenuCommandName;
  /* 4 */ A_Err (*AEGP_EnableCommand)(AEGP_Command command);
  /* 5 */ A_Err (*AEGP_DisableCommand)(AEGP_Command command);
  /* 6 */ void* AEGP_CheckMarkMenuCommand;
  /* 7 */ void* AEGP_DoCommand;
} AEGP_CommandSuite1;

// ---- "AEGP Register Suite" 4 -----------------------------------------------------------
// Version 4's own table is not known to us. Entries 0 to 8 have the same names in the same
// order in version 1 (AE 5.0) and version 6 (AEGP_RegisterSuite5), and 0 and 1, the two the
// plug-in calls, the same signatures; what follows entry 8 is not declared. The name follows
// the numbering of the versions around it.
#define kAEGPRegisterSuite "AEGP Register Suite"
#define kAEGPRegisterSuiteVersion3 4
typedef struct AEGP_RegisterSuite3 {
  /* 0 */ A_Err (*AEGP_RegisterCommandHook)(AEGP_PluginID aegp_plugin_id,
                                            AEGP_HookPriority hook_priority, AEGP_Command command,
                                            AEGP_CommandHook command_hook_func,
                                            AEGP_CommandRefcon refconP);
  /* 1 */ A_Err (*AEGP_RegisterUpdateMenuHook)(AEGP_PluginID aegp_plugin_id,
                                               AEGP_UpdateMenuHook update_menu_hook_func,
                                               AEGP_UpdateMenuRefcon refconP);
  /* 2 */ void* AEGP_RegisterDeathHook;
  /* 3 */ void* AEGP_RegisterVersionHook;
  /* 4 */ void* AEGP_RegisterAboutStringHook;
  /* 5 */ void* AEGP_RegisterAboutHook;
  /* 6 */ void* AEGP_RegisterArtisan;
  /* 7 */ void* AEGP_RegisterIO;
  /* 8 */ void* AEGP_RegisterIdleHook;
} AEGP_RegisterSuite3;

// ---- "AEGP Utility Suite" 7 = AEGP_UtilitySuite3 ---------------------------------------
#define kAEGPUtilitySuite "AEGP Utility Suite"
#define kAEGPUtilitySuiteVersion3 7
typedef struct AEGP_UtilitySuite3 {
  // Shows a dialog with the plug-in's name and the text.
  /*  0 */ A_Err (*AEGP_ReportInfo)(AEGP_PluginID aegp_plugin_id, const A_char* info_stringZ);
  /*  1 */ void* AEGP_GetDriverPluginInitFuncVersion;
  /*  2 */ void* AEGP_GetDriverImplementationVersion;
  /*  3 */ void* AEGP_StartQuietErrors;
  /*  4 */ void* AEGP_EndQuietErrors;
  /*  5 */ void* AEGP_StartUndoGroup;
  /*  6 */ void* AEGP_EndUndoGroup;
  /*  7 */ void* AEGP_RegisterWithAEGP;
  /*  8 */ void* AEGP_GetMainHWND;
  /*  9 */ void* AEGP_ShowHideAllFloaters;
  /* 10 */ void* AEGP_PaintPalGetForeColor;
  /* 11 */ void* AEGP_PaintPalGetBackColor;
  /* 12 */ void* AEGP_PaintPalSetForeColor;
  /* 13 */ void* AEGP_PaintPalSetBackColor;
  /* 14 */ void* AEGP_CharPalGetFillColor;
  /* 15 */ void* AEGP_CharPalGetStrokeColor;
  /* 16 */ void* AEGP_CharPalSetFillColor;
  /* 17 */ void* AEGP_CharPalSetStrokeColor;
  /* 18 */ void* AEGP_CharPalIsFillColorUIFrontmost;
  /* 19 */ void* AEGP_ConvertFpLongToHSFRatio;
  /* 20 */ void* AEGP_ConvertHSFRatioToFpLong;
  /* 21 */ void* AEGP_CauseIdleRoutinesToBeCalled;
  /* 22 */ void* AEGP_GetSuppressInteractiveUI;
  /* 23 */ void* AEGP_WriteToOSConsole;
  /* 24 */ void* AEGP_WriteToDebugLog;
} AEGP_UtilitySuite3;

// ---- "AEGP Item Suite" 7 = AEGP_ItemSuite5 ---------------------------------------------
// This version has no "first project item": a walk starts at the Proj suite's root folder and
// goes on with GetNextItem, which gives null after the last item.
#define kAEGPItemSuite "AEGP Item Suite"
#define kAEGPItemSuiteVersion5 7
typedef struct AEGP_ItemSuite5 {
  /*  0 */ A_Err (*AEGP_GetNextItem)(AEGP_ItemH itemH, AEGP_ItemH* next_itemPH);
  /*  1 */ void* AEGP_GetActiveItem;
  /*  2 */ void* AEGP_IsItemSelected;
  /*  3 */ void* AEGP_SelectItem;
  /*  4 */ A_Err (*AEGP_GetItemType)(AEGP_ItemH itemH, AEGP_ItemType* item_type);
  /*  5 */ void* AEGP_GetTypeName;
  // Fills at most AEGP_MAX_ITEM_NAME_SIZE bytes, the NUL included.
  /*  6 */ A_Err (*AEGP_GetItemName)(AEGP_ItemH itemH, A_char* nameZ);
  /*  7 */ void* AEGP_GetItemID;
  /*  8 */ void* AEGP_GetItemFlags;
  /*  9 */ void* AEGP_SetItemUseProxy;
  /* 10 */ void* AEGP_GetItemParentFolder;
  /* 11 */ void* AEGP_SetItemParentFolder;
  /* 12 */ void* AEGP_GetItemDuration;
  /* 13 */ void* AEGP_GetItemCurrentTime;
  /* 14 */ void* AEGP_GetItemDimensions;
  /* 15 */ void* AEGP_GetItemPixelAspectRatio;
  /* 16 */ void* AEGP_DeleteItem;
  /* 17 */ void* AEGP_CreateNewFolder;
  /* 18 */ void* AEGP_SetItemCurrentTime;
  /* 19 */ void* AEGP_GetItemCommentLength;
  /* 20 */ void* AEGP_GetItemComment;
  /* 21 */ void* AEGP_SetItemComment;
} AEGP_ItemSuite5;

// ---- "AEGP Proj Suite" 5 ---------------------------------------------------------------
// Version 5's own table is not known to us. Entries 0 to 4 have the same names in the same
// order in version 2 (AEGP_ProjSuite1) and version 8 (AEGP_ProjSuite5); paths are 8-bit
// A_char buffers before the host moved to UTF-16 (version 8), so GetProjectPath has the older
// form. What follows entry 4 is not declared. The name follows the numbering of the versions
// around it.
#define kAEGPProjSuite "AEGP Proj Suite"
#define kAEGPProjSuiteVersion3 5
typedef struct AEGP_ProjSuite3 {
  /* 0 */ void* AEGP_GetNumProjects;
  /* 1 */ A_Err (*AEGP_GetProjectByIndex)(A_long proj_indexL, AEGP_ProjectH* projPH);
  /* 2 */ void* AEGP_GetProjectName;
  // Fills at most AEGP_MAX_PATH_SIZE bytes, the NUL included; empty for a project never saved.
  /* 3 */ A_Err (*AEGP_GetProjectPath)(AEGP_ProjectH projH, A_char* pathZ);
  /* 4 */ A_Err (*AEGP_GetProjectRootFolder)(AEGP_ProjectH projH, AEGP_ItemH* root_folderPH);
} AEGP_ProjSuite3;

// ---- "ADM Dialog Suite" 8 = ADMDialogSuite8 --------------------------------------------
#define kADMDialogSuite "ADM Dialog Suite"
#define kADMDialogSuiteVersion8 8
typedef struct ADMDialogSuite8 {
  // A modeless dialog: plug-in, unique internal name, platform dialog resource (0: none),
  // style, init procedure (or null), user data, options (0). Null when it could not be made.
  /*  0 */ ADMDialogRef (*Create)(SPPluginRef inPluginRef, const char* inName, ASInt32 inDialogID,
                                  ADMDialogStyle inDialogStyle, ADMDialogInitProc inInitProc,
                                  ADMUserData inUserData, ASInt32 inOptions);
  /*  1 */ void* Modal;
  /*  2 */ void* PopupModal;
  /*  3 */ void* DisplayAsModal;
  /*  4 */ void (*Destroy)(ADMDialogRef inDialog);
  /*  5 */ void* SetDrawProc;
  /*  6 */ void* GetDrawProc;
  /*  7 */ void* DefaultDraw;
  /*  8 */ void* SetTrackProc;
  /*  9 */ void* GetTrackProc;
  /* 10 */ void* DefaultTrack;
  /* 11 */ void* SetMask;
  /* 12 */ void* GetMask;
  /* 13 */ void* SetNotifyProc;
  /* 14 */ void* GetNotifyProc;
  /* 15 */ void* DefaultNotify;
  /* 16 */ void* SendNotify;
  /* 17 */ void* SetNotifierData;
  /* 18 */ void* GetNotifierData;
  /* 19 */ void* SetDestroyProc;
  /* 20 */ void* GetDestroyProc;
  /* 21 */ void* CreateTimer;
  /* 22 */ void* AbortTimer;
  /* 23 */ void* SetUserData;
  /* 24 */ void* GetUserData;
  /* 25 */ void* GetDialogName;
  /* 26 */ void* GetID;
  /* 27 */ void* GetPluginRef;
  /* 28 */ void* GetWindowRef;
  /* 29 */ void* SetDialogStyle;
  /* 30 */ void* GetDialogStyle;
  /* 31 */ void (*Show)(ADMDialogRef inDialog, ASBoolean inShow);
  /* 32 */ void* IsVisible;
  /* 33 */ void* Enable;
  /* 34 */ void* IsEnabled;
  /* 35 */ void* Activate;
  /* 36 */ void* IsActive;
  /* 37 */ void* SetLocalRect;
  /* 38 */ void* GetLocalRect;
  /* 39 */ void* SetBoundsRect;
  /* 40 */ void* GetBoundsRect;
  /* 41 */ void* Move;
  /* 42 */ void (*Size)(ADMDialogRef inDialog, ASInt32 inWidth, ASInt32 inHeight);
  /* 43 */ void* LocalToScreenPoint;
  /* 44 */ void* ScreenToLocalPoint;
  /* 45 */ void* LocalToScreenRect;
  /* 46 */ void* ScreenToLocalRect;
  /* 47 */ void* Invalidate;
  /* 48 */ void* InvalidateRect;
  /* 49 */ void* Update;
  /* 50 */ void* SetCursorID;
  /* 51 */ void* GetCursorID;
  /* 52 */ void* SetFont;
  /* 53 */ void* GetFont;
  /* 54 */ void* SetText;
  /* 55 */ void* SetTextW;
  /* 56 */ void* GetText;
  /* 57 */ void* GetTextW;
  /* 58 */ void* GetTextLength;
  /* 59 */ void* GetTextLengthW;
  /* 60 */ void* SetMinWidth;
  /* 61 */ void* GetMinWidth;
  /* 62 */ void* SetMinHeight;
  /* 63 */ void* GetMinHeight;
  /* 64 */ void* SetMaxWidth;
  /* 65 */ void* GetMaxWidth;
  /* 66 */ void* SetMaxHeight;
  /* 67 */ void* GetMaxHeight;
  /* 68 */ void* SetHorizontalIncrement;
  /* 69 */ void* GetHorizontalIncrement;
  /* 70 */ void* SetVerticalIncrement;
  /* 71 */ void* GetVerticalIncrement;
  /* 72 */ void* GetItem;
  /* 73 */ void* CreateItem;
  /* 74 */ void* DestroyItem;
  /* 75 */ void* GetNextItem;
  /* 76 */ void* GetPreviousItem;
  /* 77 */ void* SetDefaultItemID;
  /* 78 */ void* GetDefaultItemID;
  /* 79 */ void* SetCancelItemID;
  /* 80 */ void* GetCancelItemID;
  /* 81 */ void* EndModal;
  /* 82 */ void* RegisterItemType;
  /* 83 */ void* UnregisterItemType;
  /* 84 */ void* LoadToolTips;
  /* 85 */ void* SetHelpID;
  /* 86 */ void* GetHelpID;
  /* 87 */ void* Help;
  /* 88 */ void* IsCollapsed;
  /* 89 */ void* CreateGroupInDialog;
  /* 90 */ void* SetWindowRef;
  /* 91 */ void* SetDialogName;
  /* 92 */ void* IsDialogContextHidden;
  /* 93 */ void* SetUpdateEnabled;
  /* 94 */ void* IsUpdateEnabled;
  /* 95 */ void* SetForcedOnScreen;
  /* 96 */ void* IsForcedOnScreen;
  /* 97 */ void* DisplayAsPopupModal;
  /* 98 */ void* AdjustItemTabOrder;
} ADMDialogSuite8;

// ---- "ADM Item Suite" 8 = ADMItemSuite8 ------------------------------------------------
#define kADMItemSuite "ADM Item Suite"
#define kADMItemSuiteVersion8 8
typedef struct ADMItemSuite8 {
  // An item of the dialog: item id (kADMUniqueItemID lets the host choose), type, bounds in
  // dialog coordinates, init procedure (or null), user data, options (0). Null when it could
  // not be made.
  /*   0 */ ADMItemRef (*Create)(ADMDialogRef inDialog, ASInt32 inItemID, ADMItemType inItemType,
                                 const ASRect* inBoundsRect, ADMItemInitProc inInitProc,
                                 ADMUserData inUserData, ASInt32 inOptions);
  /*   1 */ void* Destroy;
  /*   2 */ void* SetDrawProc;
  /*   3 */ void* GetDrawProc;
  /*   4 */ void* DefaultDraw;
  /*   5 */ void* SetTrackProc;
  /*   6 */ void* GetTrackProc;
  /*   7 */ void* DefaultTrack;
  /*   8 */ void* SetMask;
  /*   9 */ void* GetMask;
  /*  10 */ void (*SetNotifyProc)(ADMItemRef inItem, ADMItemNotifyProc inNotifyProc);
  /*  11 */ void* GetNotifyProc;
  /*  12 */ void (*DefaultNotify)(ADMItemRef inItem, ADMNotifierRef inNotifier);
  /*  13 */ void* SendNotify;
  /*  14 */ void* SetNotifierData;
  /*  15 */ void* GetNotifierData;
  /*  16 */ void* SetDestroyProc;
  /*  17 */ void* GetDestroyProc;
  /*  18 */ void* CreateTimer;
  /*  19 */ void* AbortTimer;
  /*  20 */ void* SetUserData;
  /*  21 */ void* GetUserData;
  /*  22 */ void* GetID;
  /*  23 */ void* GetDialog;
  /*  24 */ void* GetWindowRef;
  // The entry list of a list box or popup; null for other items.
  /*  25 */ ADMListRef (*GetList)(ADMItemRef inItem);
  /*  26 */ void* GetChildItem;
  /*  27 */ void* SetPluginRef;
  /*  28 */ void* GetPluginRef;
  /*  29 */ void* SetItemType;
  /*  30 */ void* GetItemType;
  /*  31 */ void* SetItemStyle;
  /*  32 */ void* GetItemStyle;
  /*  33 */ void* Show;
  /*  34 */ void* IsVisible;
  /*  35 */ void (*Enable)(ADMItemRef inItem, ASBoolean inEnable);
  /*  36 */ void* IsEnabled;
  /*  37 */ void* Activate;
  /*  38 */ void* IsActive;
  /*  39 */ void* Known;
  /*  40 */ void* IsKnown;
  /*  41 */ void* SetLocalRect;
  /*  42 */ void* GetLocalRect;
  /*  43 */ void* SetBoundsRect;
  /*  44 */ void* GetBoundsRect;
  /*  45 */ void* GetBestSize;
  /*  46 */ void* Move;
  /*  47 */ void* Size;
  /*  48 */ void* LocalToScreenPoint;
  /*  49 */ void* ScreenToLocalPoint;
  /*  50 */ void* LocalToScreenRect;
  /*  51 */ void* ScreenToLocalRect;
  /*  52 */ void* Invalidate;
  /*  53 */ void* InvalidateRect;
  /*  54 */ void* Update;
  /*  55 */ void* SetCursorID;
  /*  56 */ void* GetCursorID;
  /*  57 */ void* SetPictureID;
  /*  58 */ void* GetPictureID;
  /*  59 */ void* SetSelectedPictureID;
  /*  60 */ void* GetSelectedPictureID;
  /*  61 */ void* SetDisabledPictureID;
  /*  62 */ void* GetDisabledPictureID;
  /*  63 */ void* SetTipString;
  /*  64 */ void* SetTipStringW;
  /*  65 */ void* GetTipString;
  /*  66 */ void* GetTipStringW;
  /*  67 */ void* GetTipStringLength;
  /*  68 */ void* GetTipStringLengthW;
  /*  69 */ void* EnableTip;
  /*  70 */ void* IsTipEnabled;
  /*  71 */ void* ShowToolTip;
  /*  72 */ void* HideToolTip;
  /*  73 */ void* SetFont;
  /*  74 */ void* GetFont;
  /*  75 */ void (*SetText)(ADMItemRef inItem, const char* inText);
  /*  76 */ void* SetTextW;
  // Writes at most inMaxLength - 1 bytes of the text and a NUL.
  /*  77 */ void (*GetText)(ADMItemRef inItem, char* outText, ASInt32 inMaxLength);
  /*  78 */ void* GetTextW;
  // The text's length in characters, without a NUL.
  /*  79 */ ASInt32 (*GetTextLength)(ADMItemRef inItem);
  /*  80 */ void* GetTextLengthW;
  /*  81 */ void* SetMaxTextLength;
  /*  82 */ void* GetMaxTextLength;
  /*  83 */ void* SelectAll;
  /*  84 */ void* SetSelectionRange;
  /*  85 */ void* GetSelectionRange;
  /*  86 */ void* SetJustify;
  /*  87 */ void* GetJustify;
  /*  88 */ void* SetUnits;
  /*  89 */ void* GetUnits;
  /*  90 */ void* SetPrecision;
  /*  91 */ void* GetPrecision;
  /*  92 */ void (*SetBooleanValue)(ADMItemRef inItem, ASBoolean inValue);
  /*  93 */ ASBoolean (*GetBooleanValue)(ADMItemRef inItem);
  /*  94 */ void* SetIntValue;
  /*  95 */ void* GetIntValue;
  /*  96 */ void* SetFixedValue;
  /*  97 */ void* GetFixedValue;
  /*  98 */ void* SetFloatValue;
  /*  99 */ void* GetFloatValue;
  /* 100 */ void* SetMinIntValue;
  /* 101 */ void* GetMinIntValue;
  /* 102 */ void* SetMinFixedValue;
  /* 103 */ void* GetMinFixedValue;
  /* 104 */ void* SetMaxIntValue;
  /* 105 */ void* GetMaxIntValue;
  /* 106 */ void* SetMinFloatValue;
  /* 107 */ void* GetMinFloatValue;
  /* 108 */ void* SetMaxFixedValue;
  /* 109 */ void* GetMaxFixedValue;
  /* 110 */ void* SetMaxFloatValue;
  /* 111 */ void* GetMaxFloatValue;
  /* 112 */ void* SetSmallIncrement;
  /* 113 */ void* GetSmallIncrement;
  /* 114 */ void* SetLargeIncrement;
  /* 115 */ void* GetLargeIncrement;
  /* 116 */ void* SetAllowUnits;
  /* 117 */ void* GetAllowUnits;
  /* 118 */ void* SetAllowMath;
  /* 119 */ void* GetAllowMath;
  /* 120 */ void* SetFloatToTextProc;
  /* 121 */ void* GetFloatToTextProc;
  /* 122 */ void* DefaultFloatToText;
  /* 123 */ void* DefaultFloatToTextW;
  /* 124 */ void* SetTextToFloatProc;
  /* 125 */ void* GetTextToFloatProc;
  /* 126 */ void* DefaultTextToFloat;
  /* 127 */ void* DefaultTextToFloatW;
  /* 128 */ void* ShowUnits;
  /* 129 */ void* GetShowUnits;
  /* 130 */ void* WasPercentageChange;
  /* 131 */ void* SetHelpID;
  /* 132 */ void* GetHelpID;
  /* 133 */ void* Help;
  /* 134 */ void* GetHierarchyList;
  /* 135 */ void* AddItem;
  /* 136 */ void* RemoveItem;
  /* 137 */ void* SetPicture;
  /* 138 */ void* GetPicture;
  /* 139 */ void* SetSelectedPicture;
  /* 140 */ void* GetSelectedPicture;
  /* 141 */ void* SetDisabledPicture;
  /* 142 */ void* GetDisabledPicture;
  /* 143 */ void* SetPopupDialog;
  /* 144 */ void* GetPopupDialog;
  /* 145 */ void* SetWantsFocus;
  /* 146 */ void* GetWantsFocus;
  /* 147 */ void* SetForeColor;
  /* 148 */ void* GetForeColor;
  /* 149 */ void* SetBackColor;
  /* 150 */ void* GetBackColor;
  /* 151 */ void* SetRolloverPictureID;
  /* 152 */ void* GetRolloverPictureID;
  /* 153 */ void* SetRolloverPicture;
  /* 154 */ void* GetRolloverPicture;
  /* 155 */ void* SetHasRollOverProperty;
  /* 156 */ void* GetHasRollOverProperty;
  /* 157 */ void* SetInRollOverState;
  /* 158 */ void* IsInRollOverState;
  /* 159 */ void* IgnoreForceRoman;
} ADMItemSuite8;

// ---- "ADM List Suite" 3 = ADMListSuite3 ------------------------------------------------
#define kADMListSuite "ADM List Suite"
#define kADMListSuiteVersion3 3
typedef struct ADMListSuite3 {
  /*  0 */ void* SetMenuID;
  /*  1 */ void* GetMenuID;
  /*  2 */ void* GetItem;
  /*  3 */ void* SetUserData;
  /*  4 */ void* GetUserData;
  /*  5 */ void* SetInitProc;
  /*  6 */ void* GetInitProc;
  /*  7 */ void* SetDrawProc;
  /*  8 */ void* GetDrawProc;
  /*  9 */ void* SetTrackProc;
  /* 10 */ void* GetTrackProc;
  /* 11 */ void* SetNotifyProc;
  /* 12 */ void* GetNotifyProc;
  /* 13 */ void* SetDestroyProc;
  /* 14 */ void* GetDestroyProc;
  /* 15 */ void* SetEntryWidth;
  /* 16 */ void* GetEntryWidth;
  /* 17 */ void* SetEntryHeight;
  /* 18 */ void* GetEntryHeight;
  /* 19 */ void* SetEntryTextRect;
  /* 20 */ void* GetEntryTextRect;
  /* 21 */ void* InsertEntry;
  /* 22 */ void* RemoveEntry;
  /* 23 */ void* GetEntry;
  /* 24 */ void* IndexEntry;
  /* 25 */ void* FindEntry;
  /* 26 */ void* PickEntry;
  /* 27 */ void* GetActiveEntry;
  // The selected entry of this rank (0 for the first); null past the last.
  /* 28 */ ADMEntryRef (*IndexSelectedEntry)(ADMListRef inList, ASInt32 inSelectionIndex);
  /* 29 */ void* NumberOfEntries;
  /* 30 */ ASInt32 (*NumberOfSelectedEntries)(ADMListRef inList);
  /* 31 */ void* SetMask;
  /* 32 */ void* GetMask;
  /* 33 */ void* SetNotifierData;
  /* 34 */ void* GetNotifierData;
  /* 35 */ void* SetBackgroundColor;
  /* 36 */ void* SelectByText;
} ADMListSuite3;

// ---- "ADM Entry Suite" 5 = ADMEntrySuite5 ----------------------------------------------
#define kADMEntrySuite "ADM Entry Suite"
#define kADMEntrySuiteVersion5 5
typedef struct ADMEntrySuite5 {
  // A new entry at the end of the list (its id is 0 until SetID); null when it could not be
  // made.
  /*  0 */ ADMEntryRef (*Create)(ADMListRef inList);
  /*  1 */ void* Destroy;
  /*  2 */ void* DefaultDraw;
  /*  3 */ void* DefaultTrack;
  /*  4 */ void* DefaultNotify;
  /*  5 */ void* SendNotify;
  /*  6 */ void* GetIndex;
  /*  7 */ void* GetList;
  /*  8 */ void* SetID;
  /*  9 */ void* GetID;
  /* 10 */ void* SetUserData;
  /* 11 */ void* GetUserData;
  /* 12 */ void (*Select)(ADMEntryRef inEntry, ASBoolean inSelect);
  /* 13 */ void* IsSelected;
  /* 14 */ void* MakeInBounds;
  /* 15 */ void* IsInBounds;
  /* 16 */ void* Enable;
  /* 17 */ void* IsEnabled;
  /* 18 */ void (*Activate)(ADMEntryRef inEntry, ASBoolean inActivate);
  /* 19 */ void* IsActive;
  /* 20 */ void* Check;
  /* 21 */ void* IsChecked;
  /* 22 */ void* MakeSeparator;
  /* 23 */ void* IsSeparator;
  /* 24 */ void* GetLocalRect;
  /* 25 */ void* GetBoundsRect;
  /* 26 */ void* LocalToScreenPoint;
  /* 27 */ void* ScreenToLocalPoint;
  /* 28 */ void* LocalToScreenRect;
  /* 29 */ void* ScreenToLocalRect;
  /* 30 */ void* Invalidate;
  /* 31 */ void* InvalidateRect;
  /* 32 */ void* Update;
  /* 33 */ void* SetPictureID;
  /* 34 */ void* GetPictureID;
  /* 35 */ void* SetSelectedPictureID;
  /* 36 */ void* GetSelectedPictureID;
  /* 37 */ void* SetDisabledPictureID;
  /* 38 */ void* GetDisabledPictureID;
  /* 39 */ void* SetPicture;
  /* 40 */ void* GetPicture;
  /* 41 */ void* SetSelectedPicture;
  /* 42 */ void* GetSelectedPicture;
  /* 43 */ void* SetDisabledPicture;
  /* 44 */ void* GetDisabledPicture;
  /* 45 */ void (*SetText)(ADMEntryRef inEntry, const char* inText);
  /* 46 */ void* SetTextW;
  // Writes at most inMaxLength - 1 bytes of the text and a NUL.
  /* 47 */ void (*GetText)(ADMEntryRef inEntry, char* outText, ASInt32 inMaxLength);
  /* 48 */ void* GetTextW;
  /* 49 */ ASInt32 (*GetTextLength)(ADMEntryRef inEntry);
  /* 50 */ void* GetTextLengthW;
  /* 51 */ void* CreateTimer;
  /* 52 */ void* AbortTimer;
  /* 53 */ void* GetHelpID;
  /* 54 */ void* SetHelpID;
  /* 55 */ void* Help;
  /* 56 */ void* SetCheckGlyph;
  /* 57 */ void* GetCheckGlyph;
} ADMEntrySuite5;

// ---- "ADM Basic Suite" 2 = ADMBasicSuite2 ----------------------------------------------
#define kADMBasicSuite "ADM Basic Suite"
#define kADMBasicSuiteVersion2 2
typedef struct ADMBasicSuite2 {
  /*  0 */ void* GetIndexString;
  /*  1 */ void* Beep;
  /*  2 */ void* ErrorAlert;
  /*  3 */ void* MessageAlert;
  /*  4 */ void* QuestionAlert;
  /*  5 */ void* GetScreenDimensions;
  /*  6 */ void* EnableToolTips;
  /*  7 */ void* AreToolTipsEnabled;
  /*  8 */ void* ValueToString;
  /*  9 */ void* StringToValue;
  /* 10 */ void* StandardGetFileDialog;
  /* 11 */ void* StandardGetDirectoryDialog;
  // The save dialog: prompt, start (or null), default file name. True when the user chose a
  // file, whose path is then in outFile->path.
  /* 12 */ ASBoolean (*StandardPutFileDialog)(const char* inMessage,
                                              const SPPlatformFileSpecification* inStartFile,
                                              const char* inFileName,
                                              SPPlatformFileSpecification* outFile);
  /* 13 */ void* ChooseColor;
  /* 14 */ void* SetAppUnits;
  /* 15 */ void* GetAppUnits;
  /* 16 */ void* SetNumbersArePoints;
  /* 17 */ void* GetNumbersArePoints;
  /* 18 */ void* SetDefaultIncrements;
  /* 19 */ void* GetDefaultIncrements;
  /* 20 */ void* AboutBox;
  /* 21 */ void* AreToolTipsSticky;
  /* 22 */ void* GetToolTipDelays;
  /* 23 */ void* GetWorkspaceBounds;
  /* 24 */ void* GetPaletteLayoutBounds;
} ADMBasicSuite2;

// ---- the entry point -------------------------------------------------------------------
// Called once at load: the broker, the host's plug-in interface ("driver") version, the
// plug-in's file and resource paths, its id, and where to put the refcon that the host hands
// back to every hook. Exported undecorated; its name is the plug-in resource's code string.
typedef A_Err (*AEGP_GPMainFunc)(struct SPBasicSuite* pica_basicP, A_long major_versionL,
                                 A_long minor_versionL, const A_char* file_pathZ,
                                 const A_char* res_pathZ, AEGP_PluginID aegp_plugin_id,
                                 AEGP_GlobalRefcon* global_refconP);
A_Err GPMain_tq(struct SPBasicSuite* pica_basicP, A_long major_versionL, A_long minor_versionL,
                const A_char* file_pathZ, const A_char* res_pathZ, AEGP_PluginID aegp_plugin_id,
                AEGP_GlobalRefcon* global_refconP);

}  // extern "C"

// ---- sizes the host relies on ------------------------------------------------------------
static_assert(sizeof(A_Boolean) == 1 && sizeof(AEGP_ItemType) == 2 && sizeof(A_long) == 4);
static_assert(sizeof(ASBoolean) == 4 && sizeof(SPBoolean) == 4 && sizeof(ADMBoolean) == 4);
static_assert(sizeof(ADMDialogStyle) == 4 && sizeof(ASRect) == 16);
static_assert(sizeof(SPPlatformFileSpecification) == 300);
#if defined(_WIN32) && !defined(_WIN64)
// Each table at its whole length, 4 bytes an entry.
static_assert(sizeof(SPBasicSuite) == 7 * 4);
static_assert(sizeof(AEGP_CommandSuite1) == 8 * 4);
static_assert(sizeof(AEGP_RegisterSuite3) == 9 * 4);
static_assert(sizeof(AEGP_UtilitySuite3) == 25 * 4);
static_assert(sizeof(AEGP_ItemSuite5) == 22 * 4);
static_assert(sizeof(AEGP_ProjSuite3) == 5 * 4);
static_assert(sizeof(ADMDialogSuite8) == 99 * 4);
static_assert(sizeof(ADMItemSuite8) == 160 * 4);
static_assert(sizeof(ADMListSuite3) == 37 * 4);
static_assert(sizeof(ADMEntrySuite5) == 58 * 4);
static_assert(sizeof(ADMBasicSuite2) == 25 * 4);
#endif
