// The dialog keeps what it filled in itself (the trigger description, a new entry's id) apart
// from what the user typed: its own text follows the trigger and the title, the user's stays.
// An edit sets only the members that changed (ChangesBetween), so a goal or secret the user did
// not touch keeps its text as written, and only the values that change are refused; the others
// are shown as notes.

#include "platform/win32/win32.h"
#include <commctrl.h>

#include "app/achievement_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "app/app_globals.h"
#include "app/config_reload_apply.h"
#include "app/trigger_picker.h"
#include "config/config_edit.h"
#include "config/entry_rules.h"
#include "config/goal.h"
#include "notify/toast.h"
#include "platform/win32/system_library_win32.h"
#include "progress/save_status.h"
#include "resources/resource_ids.h"
#include "tracker/config_reload.h"
#include "tracker/tracker.h"
#include "tracker/trigger_choices.h"

namespace {

constexpr UINT_PTR PICKER_TIMER_ID = 1;
constexpr UINT PICKER_REFRESH_MS = 2000;
constexpr COLORREF PROBLEM_COLOR = RGB(176, 0, 0);

constexpr wchar_t NEW_CAPTION[] = L"新建成就";
constexpr wchar_t EDIT_CAPTION[] = L"编辑成就";
constexpr wchar_t ERROR_BOX_CAPTION[] = L"错误";

// The type box's entries, in order.
constexpr TriggerType TRIGGER_TYPES[] = {TriggerType::ProcessName, TriggerType::WindowTitle,
                                         TriggerType::None};
constexpr const wchar_t* TRIGGER_TYPE_NAMES[] = {L"运行程序", L"窗口标题包含", L"无（不自动解锁）"};
// The unit box's entries after its first, "无".
constexpr GoalUnit GOAL_UNITS[] = {GoalUnit::Starts, GoalUnit::Minutes, GoalUnit::Days};

struct DialogState {
    std::optional<Achievement> before;  // the achievement edited; none for a new one
    std::vector<Achievement> taken;     // the configured achievements, for a new id
    // The trigger the texts below were filled in for, the trigger description the dialog
    // filled in last, and likewise a new entry's id. An empty field is filled in too.
    std::pair<TriggerType, std::u16string> last_trigger{TriggerType::ProcessName, {}};
    std::u16string auto_description;
    std::u16string auto_id;
    bool filling = false;  // the dialog is setting its own controls
    bool goal_touched = false;
    bool hidden_touched = false;
    bool more_shown = false;
    TriggerPicker picker;
};

DialogState& StateOf(HWND dialog) {
    return *reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

std::u16string ControlText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, u'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, platform::Wide(text), static_cast<int>(text.size()))));
    return text;
}

void SetControlText(HWND dialog, int id, const std::u16string& text) {
    if (ControlText(dialog, id) != text) SetDlgItemTextW(dialog, id, platform::Wide(text));
}

int Selection(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

void AddItems(HWND dialog, int id, std::initializer_list<const wchar_t*> items) {
    for (const wchar_t* item : items) {
        SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
}

TriggerType SelectedType(HWND dialog) {
    const int index = Selection(dialog, IDC_ACH_TRIGGER_TYPE);
    return index >= 0 && index < static_cast<int>(std::size(TRIGGER_TYPES)) ? TRIGGER_TYPES[index]
                                                                            : TriggerType::None;
}

int TypeIndex(TriggerType type) {
    const auto found = std::find(std::begin(TRIGGER_TYPES), std::end(TRIGGER_TYPES), type);
    return static_cast<int>(found - std::begin(TRIGGER_TYPES));
}

// "10 次": the form laurelight-check's goal reading takes in both languages.
std::u16string GoalFromControls(HWND dialog) {
    const int unit = Selection(dialog, IDC_ACH_GOAL_UNIT);
    if (unit <= 0 || unit > static_cast<int>(std::size(GOAL_UNITS))) return {};
    return ControlText(dialog, IDC_ACH_GOAL_COUNT) + u" " +
           std::u16string(ChineseUnitName(GOAL_UNITS[unit - 1]));
}

Achievement DraftOf(HWND dialog, const DialogState& state) {
    Achievement draft = state.before.value_or(Achievement{});
    draft.id = ControlText(dialog, IDC_ACH_ID);
    draft.title = ControlText(dialog, IDC_ACH_TITLE);
    draft.description = ControlText(dialog, IDC_ACH_DESCRIPTION);
    draft.trigger_description = ControlText(dialog, IDC_ACH_TRIGGER_DESCRIPTION);
    draft.trigger_value = ControlText(dialog, IDC_ACH_TRIGGER_VALUE);
    draft.trigger_type = SelectedType(dialog);
    if (!state.before || state.goal_touched) draft.trigger_goal = GoalFromControls(dialog);
    if (!state.before || state.hidden_touched) {
        draft.hidden = IsDlgButtonChecked(dialog, IDC_ACH_HIDDEN) == BST_CHECKED ? u"true" : u"";
    }
    return draft;
}

const char16_t* FieldName(EntryField field) {
    switch (field) {
        case EntryField::Id:
            return u"id";
        case EntryField::Title:
            return u"标题";
        case EntryField::Description:
            return u"描述";
        case EntryField::TriggerDescription:
            return u"触发方式说明";
        case EntryField::TriggerValue:
            return u"触发条件";
        case EntryField::TriggerGoal:
            return u"目标";
        default:
            return u"隐藏成就";
    }
}

std::u16string ProblemText(const ValueProblem& problem) {
    std::u16string text = std::u16string(FieldName(problem.field)) + u"：" + problem.reason;
    if (!problem.suggestion.empty()) text += u"。" + problem.suggestion;
    return text;
}

// What stops OK, first; then what only needs saying. An edit is refused only for the members
// it changes, as the writer refuses it.
struct Verdict {
    std::u16string line;
    bool refused = false;
    bool about_id = false;
};

Verdict Judge(const DialogState& state, const Achievement& draft) {
    std::vector<MemberChange> changes;
    if (state.before) {
        changes = ChangesBetween(*state.before, draft);
        if (draft.id != state.before->id) {
            return {DescribeRefusal(EditRefusal::IdChange, 0).chinese, true, true};
        }
    } else if (std::any_of(state.taken.begin(), state.taken.end(),
                           [&](const Achievement& other) { return other.id == draft.id; })) {
        return {DescribeRefusal(EditRefusal::DuplicateId, 0).chinese, true, true};
    }
    const std::vector<ValueProblem> problems = CheckEntryValues(draft);
    for (const ValueProblem& problem : problems) {
        const bool changed = !state.before || std::any_of(changes.begin(), changes.end(),
                                                          [&](const MemberChange& change) {
                                                              return change.key == problem.key;
                                                          });
        if (changed) return {ProblemText(problem), true, problem.field == EntryField::Id};
    }
    if (!problems.empty())
        return {u"提示（未修改的值）：" + ProblemText(problems[0]), false, false};
    return {};
}

void ShowMore(HWND dialog, DialogState& state) {
    state.more_shown = true;
    ShowWindow(GetDlgItem(dialog, IDC_ACH_ID_LABEL), SW_SHOW);
    ShowWindow(GetDlgItem(dialog, IDC_ACH_ID), SW_SHOW);
    EnableWindow(GetDlgItem(dialog, IDC_ACH_MORE), FALSE);
}

// A trigger description the user left empty, or as the dialog filled it in, follows the
// trigger when that changes.
void FollowTrigger(HWND dialog, DialogState& state, Achievement& draft) {
    std::pair<TriggerType, std::u16string> trigger{draft.trigger_type, draft.trigger_value};
    if (trigger == state.last_trigger) return;
    state.last_trigger = std::move(trigger);
    if (!draft.trigger_description.empty() && draft.trigger_description != state.auto_description) {
        return;
    }
    state.auto_description = DefaultTriggerDescription(draft.trigger_type, draft.trigger_value);
    draft.trigger_description = state.auto_description;
    SetControlText(dialog, IDC_ACH_TRIGGER_DESCRIPTION, draft.trigger_description);
}

// Everything that follows the values: the filled-in texts, the live line, the verdict.
void Update(HWND dialog, DialogState& state) {
    if (state.filling) return;
    state.filling = true;
    Achievement draft = DraftOf(dialog, state);
    FollowTrigger(dialog, state, draft);
    if (!state.before && draft.id == state.auto_id) {
        state.auto_id = MakeEntryId(draft, state.taken);
        draft.id = state.auto_id;
        SetControlText(dialog, IDC_ACH_ID, draft.id);
    }
    state.filling = false;
    SetControlText(dialog, IDC_ACH_MET_NOW, MetNowLine(draft));
    const Verdict verdict = Judge(state, draft);
    // A new dialog left blank greys OK without scolding: nothing is wrong before the user
    // has typed anything.
    const bool blank = !state.before && draft.title.empty() && draft.trigger_value.empty();
    SetControlText(dialog, IDC_ACH_PROBLEM, blank ? std::u16string() : verdict.line);
    EnableWindow(GetDlgItem(dialog, IDOK), !verdict.refused);
    if (verdict.about_id && !state.more_shown) ShowMore(dialog, state);
}

void FillControls(HWND dialog, DialogState& state) {
    AddItems(dialog, IDC_ACH_TRIGGER_TYPE,
             {TRIGGER_TYPE_NAMES[0], TRIGGER_TYPE_NAMES[1], TRIGGER_TYPE_NAMES[2]});
    AddItems(dialog, IDC_ACH_GOAL_UNIT, {L"无"});  // no goal, then the units in their order
    for (const GoalUnit unit : GOAL_UNITS) {
        const std::u16string name(ChineseUnitName(unit));
        SendDlgItemMessageW(dialog, IDC_ACH_GOAL_UNIT, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(platform::Wide(name)));
    }
    SendDlgItemMessageW(dialog, IDC_ACH_GOAL_COUNT, EM_SETLIMITTEXT, 7, 0);
    Achievement shown = state.before.value_or(Achievement{});
    if (!state.before) shown.trigger_type = TriggerType::ProcessName;
    state.filling = true;
    SetControlText(dialog, IDC_ACH_ID, shown.id);
    SetControlText(dialog, IDC_ACH_TITLE, shown.title);
    SetControlText(dialog, IDC_ACH_DESCRIPTION, shown.description);
    SetControlText(dialog, IDC_ACH_TRIGGER_DESCRIPTION, shown.trigger_description);
    SetControlText(dialog, IDC_ACH_TRIGGER_VALUE, shown.trigger_value);
    SendDlgItemMessageW(dialog, IDC_ACH_TRIGGER_TYPE, CB_SETCURSEL,
                        static_cast<WPARAM>(TypeIndex(shown.trigger_type)), 0);
    const std::optional<Goal> goal = GoalOf(shown).goal;
    int unit = 0;
    if (goal) {
        unit = 1 + static_cast<int>(
                       std::find(std::begin(GOAL_UNITS), std::end(GOAL_UNITS), goal->unit) -
                       std::begin(GOAL_UNITS));
        SetDlgItemInt(dialog, IDC_ACH_GOAL_COUNT, goal->target, FALSE);
    }
    SendDlgItemMessageW(dialog, IDC_ACH_GOAL_UNIT, CB_SETCURSEL, static_cast<WPARAM>(unit), 0);
    CheckDlgButton(dialog, IDC_ACH_HIDDEN, IsHidden(shown) ? BST_CHECKED : BST_UNCHECKED);
    state.filling = false;
    state.last_trigger = {shown.trigger_type, shown.trigger_value};
    const std::u16string default_description =
        DefaultTriggerDescription(shown.trigger_type, shown.trigger_value);
    if (shown.trigger_description == default_description) {
        state.auto_description = default_description;
    }
}

void OnInit(HWND dialog, DialogState& state) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&state));
    SetWindowTextW(dialog, state.before ? EDIT_CAPTION : NEW_CAPTION);
    FillControls(dialog, state);
    if (state.before) ShowMore(dialog, state);
    state.picker.Attach(GetDlgItem(dialog, IDC_ACH_RUNNING));
    state.picker.Refresh({});
    Update(dialog, state);
    SetTimer(dialog, PICKER_TIMER_ID, PICKER_REFRESH_MS, nullptr);
}

void ApplyChoice(HWND dialog, DialogState& state, const TriggerChoice& choice) {
    state.filling = true;
    SendDlgItemMessageW(dialog, IDC_ACH_TRIGGER_TYPE, CB_SETCURSEL,
                        static_cast<WPARAM>(TypeIndex(choice.type)), 0);
    SetControlText(dialog, IDC_ACH_TRIGGER_VALUE, choice.value);
    state.filling = false;
    Update(dialog, state);
}

// Only the file name counts for a process trigger; comdlg32.dll comes from the system folder.
void Browse(HWND dialog, DialogState& state) {
    using OpenFileName = BOOL(WINAPI*)(OPENFILENAMEW*);
    static const OpenFileName open_file_name =
        platform::SystemFunction<OpenFileName>(L"comdlg32.dll", "GetOpenFileNameW");
    if (open_file_name == nullptr) return;
    std::wstring file(32768, L'\0');
    OPENFILENAMEW request{};
    request.lStructSize = sizeof(request);
    request.hwndOwner = dialog;
    request.lpstrFilter = L"程序 (*.exe)\0*.exe\0所有文件 (*.*)\0*.*\0";
    request.lpstrFile = file.data();
    request.nMaxFile = static_cast<DWORD>(file.size());
    request.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!open_file_name(&request)) return;
    const std::u16string path(platform::TextInBuffer(file.data(), file.size()));
    ApplyChoice(dialog, state,
                {TriggerType::ProcessName, path.substr(path.find_last_of(u"\\/") + 1), {}, {}});
}

// An edit that changes nothing leaves the file alone.
bool WriteDraft(HWND dialog, const DialogState& state, const Achievement& draft) {
    if (g_tracker == nullptr) return false;
    const std::vector<MemberChange> changes =
        state.before ? ChangesBetween(*state.before, draft) : std::vector<MemberChange>{};
    if (state.before && changes.empty()) return true;
    const ConfigWrite written = ApplyConfigEdit(g_tracker->config_path, [&](std::string_view file) {
        return state.before ? ChangeEntry(file, state.before->id, changes) : AddEntry(file, draft);
    });
    return !ShowConfigWriteFailure(dialog, written);
}

void OnOk(HWND dialog, DialogState& state) {
    const Achievement draft = DraftOf(dialog, state);
    if (Judge(state, draft).refused || !WriteDraft(dialog, state, draft)) return;
    KillTimer(dialog, PICKER_TIMER_ID);
    EndDialog(dialog, IDOK);
}

void OnCommand(HWND dialog, DialogState& state, WORD id, WORD code) {
    switch (id) {
        case IDOK:
            OnOk(dialog, state);
            return;
        case IDCANCEL:
            KillTimer(dialog, PICKER_TIMER_ID);
            EndDialog(dialog, IDCANCEL);
            return;
        case IDC_ACH_BROWSE:
            Browse(dialog, state);
            return;
        case IDC_ACH_MORE:
            ShowMore(dialog, state);
            SetFocus(GetDlgItem(dialog, IDC_ACH_ID));
            return;
        case IDC_ACH_PREVIEW:
            ShowNotification(DraftOf(dialog, state));  // unlocks, saves and counts nothing
            return;
        case IDC_ACH_FILTER:
            if (code == EN_CHANGE) state.picker.Filter(ControlText(dialog, IDC_ACH_FILTER));
            return;
        default:
            break;
    }
    const bool edited = code == EN_CHANGE || code == CBN_SELCHANGE || code == BN_CLICKED;
    if (!edited || state.filling) return;
    if (id == IDC_ACH_GOAL_UNIT || id == IDC_ACH_GOAL_COUNT) state.goal_touched = true;
    if (id == IDC_ACH_HIDDEN) state.hidden_touched = true;
    Update(dialog, state);
}

void OnNotify(HWND dialog, DialogState& state, const NMHDR& header) {
    if (header.idFrom != IDC_ACH_RUNNING || header.code != LVN_ITEMCHANGED) return;
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if (state.picker.Filling() || (change.uNewState & LVIS_SELECTED) == 0 ||
        (change.uOldState & LVIS_SELECTED) != 0) {
        return;
    }
    if (const TriggerChoice* choice = state.picker.ChoiceAt(change.iItem)) {
        ApplyChoice(dialog, state, *choice);
    }
}

// The problem line in dark red on the dialog's own colour.
INT_PTR OnProblemColor(HDC dc, HWND control) {
    if (GetDlgCtrlID(control) != IDC_ACH_PROBLEM) return FALSE;
    SetTextColor(dc, PROBLEM_COLOR);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

INT_PTR CALLBACK AchievementDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        OnInit(dialog, *reinterpret_cast<DialogState*>(lparam));
        return TRUE;
    }
    if (GetWindowLongPtrW(dialog, DWLP_USER) == 0) return FALSE;
    DialogState& state = StateOf(dialog);
    switch (message) {
        case WM_COMMAND:
            OnCommand(dialog, state, LOWORD(wparam), HIWORD(wparam));
            return TRUE;
        case WM_NOTIFY:
            OnNotify(dialog, state, *reinterpret_cast<const NMHDR*>(lparam));
            return TRUE;
        case WM_TIMER:
            if (wparam != PICKER_TIMER_ID) return FALSE;
            state.picker.Refresh(ControlText(dialog, IDC_ACH_FILTER));
            SetControlText(dialog, IDC_ACH_MET_NOW, MetNowLine(DraftOf(dialog, state)));
            return TRUE;
        case WM_CTLCOLORSTATIC:
            return OnProblemColor(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
        default:
            return FALSE;
    }
}

}  // namespace

void OpenAchievementDialog(HWND main_window, const std::u16string& id) {
    if (g_tracker == nullptr) return;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    DialogState state;
    state.taken = ConfiguredEntries(*g_tracker);
    if (!id.empty()) {
        const auto found = std::find_if(state.taken.begin(), state.taken.end(),
                                        [&id](const Achievement& entry) { return entry.id == id; });
        if (found == state.taken.end()) return;  // gone from the configuration meanwhile
        state.before = *found;
    }
    const INT_PTR result =
        DialogBoxParamW(g_hInstance, MAKEINTRESOURCEW(IDD_ACHIEVEMENT), main_window,
                        AchievementDialogProc, reinterpret_cast<LPARAM>(&state));
    if (result == IDOK) ReloadConfigNow(main_window);
}

bool ShowConfigWriteFailure(HWND owner, const ConfigWrite& written) {
    std::u16string text;
    if (written.refusal != EditRefusal::None) {
        text = u"adv.json 没有修改：";
        text += DescribeRefusal(written.refusal, written.line).chinese;
        for (const ValueProblem& problem : written.problems) {
            text += u'\n';
            text += ProblemText(problem);
        }
    } else if (written.error != platform::FileError::None) {
        text = u"adv.json 无法写入（" + std::u16string(FileErrorText(written.error).chinese) +
               u"），文件保持原样。";
    } else {
        return false;
    }
    MessageBoxW(owner, platform::Wide(text), ERROR_BOX_CAPTION, MB_OK | MB_ICONERROR);
    return true;
}
