// The host's plug-in interface as this plug-in uses it: the suite broker and, suite by suite,
// exactly the operations the plug-in calls. Everything the glue knows about the host comes
// through this header; moving onto the host vendor's own declarations means changing this file
// alone.
//
// Plain C types only. Functions are called and called back with the C calling convention
// (cdecl on 32-bit Windows). Every operation answers a host error code, 0 for success; values
// come back through pointer arguments. References to host objects are opaque pointers.
#pragma once

#include <stdint.h>

extern "C" {

typedef int32_t tq_HostError;
enum {
  TQ_HOST_OK = 0,
  // A suite that the broker cannot deliver.
  TQ_HOST_SUITE_MISSING = 516,
};

typedef int32_t tq_Bool;  // 0 false, anything else true
typedef int32_t tq_PluginId;
typedef int32_t tq_Command;

typedef struct tq_HostProject* tq_ProjectRef;
typedef struct tq_HostItem* tq_ProjectItemRef;
typedef struct tq_HostDialog* tq_DialogRef;
typedef struct tq_HostDialogItem* tq_ItemRef;
typedef struct tq_HostList* tq_ListRef;
typedef struct tq_HostEntry* tq_EntryRef;

typedef struct tq_Rect {
  int32_t left, top, right, bottom;
} tq_Rect;

// ---- the suite broker -------------------------------------------------------------------
// Hands out suites by name and version; every acquisition is matched by one release.
typedef struct tq_BasicSuite {
  tq_HostError (*AcquireSuite)(const char* name, int32_t version, const void** suite);
  tq_HostError (*ReleaseSuite)(const char* name, int32_t version);
} tq_BasicSuite;

// ---- "AEGP Command Suite" 1 ------------------------------------------------------------
#define TQ_COMMAND_SUITE "AEGP Command Suite"
#define TQ_COMMAND_SUITE_VERSION 1
enum {
  TQ_MENU_COMPOSITION = 4,     // the Composition menu
  TQ_MENU_INSERT_SORTED = -2,  // position: in sorted order
};
typedef struct tq_CommandSuite1 {
  tq_HostError (*GetUniqueCommand)(tq_Command* command);
  tq_HostError (*InsertMenuCommand)(tq_Command command, const char* name, int32_t menu,
                                    int32_t position);
  tq_HostError (*EnableCommand)(tq_Command command);
  tq_HostError (*DisableCommand)(tq_Command command);
} tq_CommandSuite1;

// ---- "AEGP Register Suite" 4 -----------------------------------------------------------
#define TQ_REGISTER_SUITE "AEGP Register Suite"
#define TQ_REGISTER_SUITE_VERSION 4
enum {
  TQ_HOOK_BEFORE_HOST = 1,  // command hooks of this priority run before the host's handling
  TQ_ALL_COMMANDS = 0,
};
// Called for a menu command; sets *handled when the host need not handle it itself.
typedef tq_HostError (*tq_CommandHook)(void* refcon, tq_Command command, tq_Bool* handled);
// Called before the host shows its menus.
typedef tq_HostError (*tq_UpdateMenuHook)(void* refcon);
typedef struct tq_RegisterSuite4 {
  tq_HostError (*RegisterCommandHook)(tq_PluginId plugin, int32_t priority, tq_Command command,
                                      tq_CommandHook hook, void* refcon);
  tq_HostError (*RegisterUpdateMenuHook)(tq_PluginId plugin, tq_UpdateMenuHook hook, void* refcon);
} tq_RegisterSuite4;

// ---- "AEGP Utility Suite" 7 ------------------------------------------------------------
#define TQ_UTILITY_SUITE "AEGP Utility Suite"
#define TQ_UTILITY_SUITE_VERSION 7
typedef struct tq_UtilitySuite7 {
  // Shows the text to the user.
  tq_HostError (*ReportInfo)(tq_PluginId plugin, const char* text);
} tq_UtilitySuite7;

// ---- "AEGP Item Suite" 7 ---------------------------------------------------------------
#define TQ_ITEM_SUITE "AEGP Item Suite"
#define TQ_ITEM_SUITE_VERSION 7
enum {
  TQ_ITEM_COMPOSITION = 2,
  TQ_MAX_ITEM_NAME_SIZE = 256,  // bytes of an item name, with its NUL
};
typedef struct tq_ItemSuite7 {
  // The first item of the project; null when it has none.
  tq_HostError (*GetFirstProjItem)(tq_ProjectRef project, tq_ProjectItemRef* item);
  // The item after `item`; null after the last.
  tq_HostError (*GetNextProjItem)(tq_ProjectRef project, tq_ProjectItemRef item,
                                  tq_ProjectItemRef* next);
  tq_HostError (*GetItemType)(tq_ProjectItemRef item, int32_t* type);
  // Writes the name, NUL-terminated, into TQ_MAX_ITEM_NAME_SIZE bytes.
  tq_HostError (*GetItemName)(tq_ProjectItemRef item, char* name);
} tq_ItemSuite7;

// ---- "AEGP Proj Suite" 5 ---------------------------------------------------------------
#define TQ_PROJ_SUITE "AEGP Proj Suite"
#define TQ_PROJ_SUITE_VERSION 5
enum { TQ_MAX_PATH_SIZE = 260 };  // bytes of a file path, with its NUL
typedef struct tq_ProjSuite5 {
  tq_HostError (*GetProjectByIndex)(int32_t index, tq_ProjectRef* project);
  // Writes the project's file path, NUL-terminated, into TQ_MAX_PATH_SIZE bytes (empty for a
  // project never saved).
  tq_HostError (*GetProjectPath)(tq_ProjectRef project, char* path);
} tq_ProjSuite5;

// ---- "ADM Dialog Suite" 8 --------------------------------------------------------------
#define TQ_DIALOG_SUITE "ADM Dialog Suite"
#define TQ_DIALOG_SUITE_VERSION 8
enum { TQ_DIALOG_FLOATING = 2 };
typedef struct tq_DialogSuite8 {
  tq_HostError (*Create)(tq_PluginId plugin, const char* name, int32_t style, tq_DialogRef* dialog);
  tq_HostError (*Show)(tq_DialogRef dialog, tq_Bool show);
  tq_HostError (*Size)(tq_DialogRef dialog, int32_t width, int32_t height);
  tq_HostError (*Destroy)(tq_DialogRef dialog);
} tq_DialogSuite8;

// ---- "ADM Item Suite" 8 ----------------------------------------------------------------
#define TQ_DIALOG_ITEM_SUITE "ADM Item Suite"
#define TQ_DIALOG_ITEM_SUITE_VERSION 8
// Item kinds.
enum {
  TQ_ITEM_STATIC_TEXT = 1,
  TQ_ITEM_LIST_BOX = 2,
  TQ_ITEM_TEXT_EDIT = 3,
  TQ_ITEM_TEXT_PUSH_BUTTON = 4,
  TQ_ITEM_TEXT_EDIT_POPUP = 5,  // an edit field with a list to pick from
  TQ_ITEM_RADIO_BUTTON = 6,
  TQ_ITEM_POPUP_LIST = 7,
  TQ_ITEM_TEXT_EDIT_MULTILINE = 8,
};
// Called after the host has done its own part of a user action on the item (a radio button is
// on, a picked entry's text is in the field, a button was pressed).
typedef void (*tq_NotifyProc)(tq_ItemRef item);
typedef struct tq_DialogItemSuite8 {
  tq_HostError (*Create)(tq_DialogRef dialog, int32_t kind, const tq_Rect* rect, tq_ItemRef* item);
  tq_HostError (*SetText)(tq_ItemRef item, const char* text);
  // The text's length in bytes, without a NUL.
  tq_HostError (*GetTextLength)(tq_ItemRef item, int32_t* length);
  // Writes at most size - 1 bytes of the text and a NUL.
  tq_HostError (*GetText)(tq_ItemRef item, char* text, int32_t size);
  tq_HostError (*SetBooleanValue)(tq_ItemRef item, tq_Bool value);
  tq_HostError (*GetBooleanValue)(tq_ItemRef item, tq_Bool* value);
  tq_HostError (*Enable)(tq_ItemRef item, tq_Bool enable);
  tq_HostError (*SetNotifyProc)(tq_ItemRef item, tq_NotifyProc proc);
  // The entry list of a list box or popup.
  tq_HostError (*GetList)(tq_ItemRef item, tq_ListRef* list);
} tq_DialogItemSuite8;

// ---- "ADM List Suite" 3 ----------------------------------------------------------------
#define TQ_LIST_SUITE "ADM List Suite"
#define TQ_LIST_SUITE_VERSION 3
typedef struct tq_ListSuite3 {
  tq_HostError (*NumberOfSelectedEntries)(tq_ListRef list, int32_t* count);
  tq_HostError (*IndexSelectedEntry)(tq_ListRef list, int32_t index, tq_EntryRef* entry);
} tq_ListSuite3;

// ---- "ADM Entry Suite" 5 ---------------------------------------------------------------
#define TQ_ENTRY_SUITE "ADM Entry Suite"
#define TQ_ENTRY_SUITE_VERSION 5
typedef struct tq_EntrySuite5 {
  // A new entry at the end of the list.
  tq_HostError (*Create)(tq_ListRef list, tq_EntryRef* entry);
  tq_HostError (*SetText)(tq_EntryRef entry, const char* text);
  tq_HostError (*GetTextLength)(tq_EntryRef entry, int32_t* length);
  tq_HostError (*GetText)(tq_EntryRef entry, char* text, int32_t size);
  tq_HostError (*Activate)(tq_EntryRef entry, tq_Bool active);
  tq_HostError (*Select)(tq_EntryRef entry, tq_Bool selected);
} tq_EntrySuite5;

// ---- "ADM Basic Suite" 2 ---------------------------------------------------------------
#define TQ_ADM_BASIC_SUITE "ADM Basic Suite"
#define TQ_ADM_BASIC_SUITE_VERSION 2
typedef struct tq_AdmBasicSuite2 {
  // The standard file dialog. `filters` is a block of NUL-terminated strings, display text and
  // pattern alternating, ended by an empty string. On confirmation *chosen is true and `result`
  // holds the path (at most result_size - 1 bytes and a NUL); on cancel *chosen is false and
  // `result` is untouched.
  tq_HostError (*StandardPutFileDialog)(const char* prompt, const char* filters,
                                        const char* start_location, const char* default_name,
                                        char* result, int32_t result_size, tq_Bool* chosen);
} tq_AdmBasicSuite2;

// ---- the entry point ---------------------------------------------------------------------
// Exported undecorated from the plug-in. The two paths are not used.
typedef tq_HostError (*tq_EntryPoint)(const tq_BasicSuite* basic, int32_t major_version,
                                      int32_t minor_version, const char* file_path,
                                      const char* resource_path, tq_PluginId plugin);
tq_HostError GPMain_tq(const tq_BasicSuite* basic, int32_t major_version, int32_t minor_version,
                       const char* file_path, const char* resource_path, tq_PluginId plugin);

}  // extern "C"
