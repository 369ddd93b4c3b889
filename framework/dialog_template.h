#pragma once
// Declarative dialog and menu descriptions. Header-only and free of Qt so the resources library can
// describe dialogs without linking the widget code.

#include <string_view>
#include <vector>

namespace fw {

// Control id of controls nobody addresses (labels, frames).
inline constexpr int kNoId = -1;

// Well-known command ids of the default and cancel buttons.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

enum class ControlKind {
    Label,         // static text; caption settable
    Icon,          // static picture; iconId names the icon (see SetIconProvider)
    GroupBox,      // frame with a caption; never takes mouse input
    Button,        // push button
    CheckBox,      // two-state check box
    Edit,          // single-line edit
    ListBox,       // single-selection list box
    CheckListBox,  // list box with a check mark and a value per row
    ComboBox,      // drop-down list (not editable)
    TreeView,      // tree, optionally with a check box per item
    ListView,      // report-style list with columns
    UpDown,        // pair of arrows that request position changes
    TabControl,    // tab strip (see fw::TabControl)
};

// Control style flags; combine with |. Flags that do not apply to a kind are ignored.
enum ControlStyle : unsigned {
    kStyleNone = 0,
    kSorted = 1u << 0,            // list box / combo box: keep rows sorted without regard to case
    kDigitsOnly = 1u << 1,        // edit: the user can type digits only
    kReadOnly = 1u << 2,          // edit: text cannot be changed by the user
    kMultiLineTabs = 1u << 3,     // tab control: wrap tabs into several rows
    kTreeCheckBoxes = 1u << 4,    // tree: a check box per item from the start
    kReportView = 1u << 5,        // list view: columns with a header (the only view we offer)
    kDefaultButton = 1u << 6,     // button: pressed by Enter when no other button has the focus
    kHotTrack = 1u << 7,          // tab control / tree: highlight the item under the mouse
    kNeverFocus = 1u << 8,        // the control never takes the keyboard focus
    kHorizontalScroll = 1u << 9,  // list box: horizontal scroll bar (see SetHorizontalExtent)
    kDisabled = 1u << 10,         // created disabled
    kInvisible = 1u << 11,        // created hidden
    kAlignRight = 1u << 12,       // label / edit: right-aligned text
    kAlignCenter = 1u << 13,      // label / edit: centred text
    kNoColumnSort = 1u << 14,     // list view: header clicks do not sort (always the case here)
    kShowSelectionAlways = 1u << 15,  // list view / tree: keep the selection visible without focus
    kPassword = 1u << 16,             // edit: hide the typed characters
    kTreeLines = 1u << 17,            // tree: lines, buttons and lines at the root
    kSunken = 1u << 18,               // label: sunken frame around the text (status lines)
};

struct ControlTemplate {
    int id = kNoId;
    ControlKind kind = ControlKind::Label;
    std::string_view caption;  // text; '&' marks the mnemonic of buttons and check boxes
    int x = 0, y = 0;          // position in dialog units
    int cx = 0, cy = 0;        // size in dialog units; 0 = the control's natural size in pixels
    unsigned style = kStyleNone;
    int iconId = 0;  // ControlKind::Icon only
};

enum class WindowKind {
    Popup,  // top-level window (main window, modal pickers)
    Child,  // borderless child (tab pages)
};

// Window style flags of a dialog.
enum DialogStyle : unsigned {
    kDialogStyleNone = 0,
    kCaption = 1u << 0,      // title bar
    kSystemMenu = 1u << 1,   // close box
    kMinimizeBox = 1u << 2,  // minimise button
    kModalFrame = 1u << 3,   // dialog frame, not resizable
    kAppWindow = 1u << 4,    // shown in the task bar
    kVisible = 1u << 5,      // shown at creation (child dialogs are hidden otherwise)
};

struct DialogTemplate {
    int number = 0;            // template number used by FindDialogTemplate
    std::string_view caption;  // window title
    int cx = 0, cy = 0;        // client size in dialog units
    std::string_view fontName = "MS Sans Serif";
    int fontPoints = 8;
    WindowKind kind = WindowKind::Popup;
    unsigned style = kDialogStyleNone;
    int menuId = 0;  // 0 = no menu; otherwise a number for FindMenuTemplate
    std::vector<ControlTemplate> controls;
};

struct MenuItemTemplate {
    std::string_view text;  // '&' marks the mnemonic; empty text with id 0 = separator
    int id = 0;             // command id dispatched through the owner's message table
};

struct MenuPopupTemplate {
    std::string_view text;  // popup name, e.g. "&General"
    std::vector<MenuItemTemplate> items;
};

struct MenuTemplate {
    int number = 0;
    std::vector<MenuPopupTemplate> popups;
};

// Lookups by number. Defined by the resources library (vlx_resources), which indexes every
// resources/templates/template_NNN.cpp and resources/menus/menu_NNN.cpp. Null when unknown.
const DialogTemplate* FindDialogTemplate(int number);
const MenuTemplate* FindMenuTemplate(int number);

}  // namespace fw
