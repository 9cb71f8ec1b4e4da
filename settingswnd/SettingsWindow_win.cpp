#include "settingswnd/SettingsWindow_win.h"

#include <commctrl.h>

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "app/Exception.h"
#include "app/Handles.h"
#include "catalogue/Catalogue_win.h"
#include "diag/Report_win.h"
#include "host/Host_win.h"
#include "settings/Settings.h"
#include "settings/SystemIntegration_win.h"
#include "settingswnd/PreviewModel.h"
#include "settingswnd/SaverChildren_win.h"
#include "settingswnd/SettingsPages_win.h"
#include "ui/Bitmap_win.h"
#include "ui/Controls_win.h"
#include "ui/Tabs_win.h"
#include "ui/Theme_win.h"
#include "ui/Window_win.h"

class SettingsWindow;

namespace {

const char kClassName[] = "TLSW_Vantora";
constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU;
constexpr int kMainIcon = 500;
// The size Windows 95 and NT 4 know: every system answers it, newer ones with their extra field left out.
constexpr UINT kNonClientMetricsSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
static_assert(kNonClientMetricsSize == 340, "the first version of NONCLIENTMETRICSA");

RECT CentredWindowRect() {
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = kNonClientMetricsSize;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &metrics, 0);
    const int width = ScaleDpi(kWindowWidth);
    const int height = ScaleDpi(UnscaleDpi(metrics.iCaptionHeight + metrics.iBorderWidth) + kWindowBodyHeight);
    RECT desktop = {};
    GetWindowRect(GetDesktopWindow(), &desktop);
    const int x = desktop.left + (desktop.right - desktop.left - width) / 2;
    const int y = desktop.top + (desktop.bottom - desktop.top - height) / 2;
    return {x, y, x + width, y + height};
}

bool RegisterWindowClass() {
    WNDCLASSA wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW;
    wc.lpfnWndProc = BaseWindow<SettingsWindow>::WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = LoadIconA(wc.hInstance, MAKEINTRESOURCEA(kMainIcon));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

class SettingsWindow : public BaseWindow<SettingsWindow>, private RunFindings {
public:
    SettingsWindow(const Settings& settings, TSaverList savers, std::function<void()> onDestroyed)
        : edited_(settings), savers_(std::move(savers)), onDestroyed_(std::move(onDestroyed)) {}

    // The window's controls, pages and first focus; the window itself exists.
    void Build() {
        // Looked up at run time: a full-screen start never loads comctl32.
        InitCommonControlClasses(ICC_WIN95_CLASSES);
        LoadThemeApi();
        previewBitmap_ = std::make_unique<TBitmap>(kPreviewWidth, kPreviewHeight);
        highlightPen_.reset(CreatePen(PS_SOLID, 0, GetSysColor(COLOR_BTNHIGHLIGHT)));
        shadowPen_.reset(CreatePen(PS_SOLID, 0, GetSysColor(COLOR_BTNSHADOW)));
        ResetControls();
        LoadGuiFont();

        const ControlLayout& tab = kWindowControls[0];
        tabs_ = CreateTabControl(hwnd_, tab.id, tab.text, tab.x, tab.y, tab.width, tab.height,
                                 [this](HWND) { OnTabPainted(); });
        mainTabs_ = std::make_unique<TmyTabControl>(tabs_);
        std::array<HWND, std::size(kPages)> pageWindows = {};
        for (size_t i = 0; i < std::size(kPages); ++i)
            pageWindows[i] = mainTabs_->AddPage(kPages[i].caption);
        if (!CreateToolTips(hwnd_)) throw Exception("can't create tooltip");

        auto screensavers = std::make_unique<ScreensaversPage>(savers_, previewBitmap_.get());
        screensavers_ = screensavers.get();
        pages_[kScreensaversPageIndex] = std::move(screensavers);
        pages_[kOptionsPageIndex] = std::make_unique<OptionsPage>();
        pages_[kAboutPageIndex] = std::make_unique<AboutPage>();
        ControlValues values = ControlsFromSettings(edited_);
        values.agentInstalled = AgentInstalled(edited_.InstallPath);
        for (size_t i = 0; i < pages_.size(); ++i)
            pages_[i]->OnInit(pageWindows[i], values);
        BuildRows(std::begin(kWindowControls) + 1, std::end(kWindowControls), hwnd_, nullptr, nullptr);
        mainTabs_->ShowSelectedPage();
        model_.OnWindowBuilt();
        FocusControl(kIdTabs);
    }

    // Handlers that wait on a child pump messages, so a close may arrive inside another handler:
    // the window is destroyed only once the outermost handler is done with it.
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
        ++depth_;
        const LRESULT result = Dispatch(msg, wParam, lParam);
        if (--depth_ == 0 && std::exchange(closePending_, false)) DestroyWindow(hwnd_);  // deletes this
        return result;
    }

    void OnFinalMessage() { delete this; }

private:
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
        switch (msg) {
            case WM_DESTROY:
                OnDestroy();
                return 0;
            case WM_ACTIVATE:
                // The default processing would move the focus to the frame itself.
                if (LOWORD(wParam) != WA_INACTIVE) RestoreFocus();
                return 0;
            case WM_CLOSE:
                if (BeginClosing()) closePending_ = true;
                return 0;
            case WM_SETCURSOR:
                if (ApplyOverrideCursor()) return 0;
                break;
            case WM_PAINTICON:
            case WM_HSCROLL:
            case WM_VSCROLL:
                return 0;
            case WM_NOTIFY:
                OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
                break;
            case WM_COMMAND:
                if (OnCommand(LOWORD(wParam), HIWORD(wParam))) return 0;
                break;
        }
        return DefWindowProcA(hwnd_, msg, wParam, lParam);
    }

    // OK, Cancel and the close button: the first one ends both children within their bounds; a
    // second one while that goes on (the stops pump messages) is ignored.
    bool BeginClosing() {
        if (closing_) return false;
        closing_ = true;
        Do(model_.OnClosing());
        task_.RequestEnd();  // a saver's own settings or full-screen run under way ends too
        return true;
    }

    PreviewView View() const {
        const HWND list = screensavers_ ? screensavers_->SaverList() : nullptr;
        const LRESULT selected = list ? SendMessageA(list, LB_GETCURSEL, 0, 0) : LB_ERR;
        return {static_cast<int>(SendMessageA(tabs_, TCM_GETCURSEL, 0, 0)),
                selected == LB_ERR ? -1 : static_cast<int>(selected),
                list ? static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)) : 0};
    }

    // Carries out the preview model's steps; the outcome of a start goes back to the model.
    void Do(const PreviewActions& actions) {
        for (const PreviewAction& action : actions) {
            switch (action.step) {
                case PreviewStep::DrawFrame:
                    screensavers_->DrawPreviewFrame(highlightPen_.get(), shadowPen_.get());
                    break;
                case PreviewStep::SelectRow:
                    SendMessageA(screensavers_->SaverList(), LB_SETCURSEL, static_cast<WPARAM>(action.row), 0);
                    break;
                case PreviewStep::CopyTick:
                    screensavers_->CopyTicks(action.row);
                    break;
                case PreviewStep::EnableSaverButtons:
                case PreviewStep::DisableSaverButtons:
                    screensavers_->EnableSaverButtons(action.step == PreviewStep::EnableSaverButtons);
                    break;
                case PreviewStep::StopPreview:
                    preview_.Stop();
                    break;
                case PreviewStep::StartPreview: {
                    const bool started =
                        preview_.Start(savers_.GetItem(action.row).FilePath, screensavers_->PreviewImage());
                    Do(model_.OnPreviewStarted(started, View()));
                    break;
                }
                case PreviewStep::OpenSaverSettings:
                case PreviewStep::RunSaverFullScreen:
                    RunSaverTask(action);
                    break;
                case PreviewStep::ReloadTicks:
                    screensavers_->ReloadTicks();
                    break;
            }
        }
    }

    void RunSaverTask(const PreviewAction& action) {
        const SaverTask task =
            action.step == PreviewStep::OpenSaverSettings ? SaverTask::Settings : SaverTask::FullScreen;
        const bool started = task_.Start(savers_.GetItem(action.row).FilePath, hwnd_, task);
        Do(model_.OnSaverTaskStarted(started, View()));
        if (!started) return;
        // The window stays usable meanwhile: the wait pumps its messages.
        task_.WaitForEnd();
        Do(model_.OnSaverTaskEnded(View()));
    }

    void OnTabPainted() {
        if (screensavers_) Do(model_.OnPainted(View()));
    }

    void OnNotify(const NMHDR& header) {
        if (header.hwndFrom != tabs_ || header.code != static_cast<UINT>(TCN_SELCHANGE)) return;
        if (GetFocus() != tabs_) SetFocus(tabs_);
        Do(model_.OnTabChanged());
        mainTabs_->ShowSelectedPage();
        const int page = mainTabs_->CurrentPage();
        if (page >= 0 && static_cast<size_t>(page) < pages_.size()) pages_[static_cast<size_t>(page)]->OnSetActive();
    }

    bool OnCommand(int id, int code) {
        if (closing_) return true;
        switch (id) {
            case kIdSaverList:
                if (code == LBN_SELCHANGE) Do(model_.OnSelectionChanged(View()));
                return true;
            case kIdSaverSettings:
                Do(model_.OnSaverTask(SaverTask::Settings, View()));
                return true;
            case kIdSaverPreview:
                Do(model_.OnSaverTask(SaverTask::FullScreen, View()));
                return true;
            case kIdOk:
                if (!SaveEdits()) return true;
                BeginClosing();
                closePending_ = true;
                return true;
            case kIdCancel:
                BeginClosing();
                closePending_ = true;
                return true;
            case kIdTestRun:
                OnTestRun();
                return true;
        }
        for (const auto& page : pages_) {
            if (page->OnCommand(id, code)) return true;
        }
        return false;
    }

    // The settings as the controls show them, and every row's tick taken into the window's list.
    Settings AppliedSettings() {
        screensavers_->CopyTicks(-1);
        ControlValues values = ControlsFromSettings(edited_);
        for (const auto& page : pages_)
            page->OnApply(values);
        return SettingsFromControls(values, edited_);
    }

    // OK's one sequence: the list file first, and only once it is written the settings, the agent's
    // entry and start, and the notice to a running agent. A list that cannot be written leaves
    // everything as it was and says why; the window stays, for another try or Cancel.
    bool SaveEdits() {
        const Settings applied = AppliedSettings();
        if (const std::optional<std::string> failure = SaveSaverList(savers_, applied.SaverListFile)) {
            const std::string text = "Nothing was saved: the list of screensavers could not be written.\r\n\r\n" +
                                     *failure + "\r\n\r\nPress OK to try again, or Cancel to leave.";
            MessageBoxA(hwnd_, text.c_str(), "Vantora", MB_OK | MB_ICONERROR);
            return false;
        }
        edited_ = applied;
        edited_.Save();
        NotifyAgent();
        return true;
    }

    // The rotation over what the window shows, unsaved: the run unticks in the window's own list,
    // which only OK writes, and the checklist shows each untick.
    void OnTestRun() {
        Do(model_.OnTestRunStarting());
        SetOverrideCursor(LoadCursorA(nullptr, IDC_APPSTARTING));
        ApplyOverrideCursor();
        RunSaverHost({nullptr, AppliedSettings(), savers_, *this});
        SetOverrideCursor(nullptr);
        Do(model_.OnTestRunEnded(View()));
    }

    void SaverUnticked(const TSaverList&, int) override { screensavers_->ReloadTicks(); }

    void OnDestroy() {
        preview_.Stop();
        task_.RequestEnd();
        DestroyToolTips();
        previewBitmap_.reset();
        highlightPen_.reset();
        shadowPen_.reset();
        if (onDestroyed_) onDestroyed_();
    }

    Settings edited_;
    TSaverList savers_;  // the window's copy of the catalogue; OK writes it
    std::function<void()> onDestroyed_;
    HWND tabs_ = nullptr;
    std::unique_ptr<TmyTabControl> mainTabs_;
    std::array<std::unique_ptr<SettingsPage>, std::size(kPages)> pages_;
    ScreensaversPage* screensavers_ = nullptr;
    std::unique_ptr<TBitmap> previewBitmap_;
    UniqueHPen highlightPen_;
    UniqueHPen shadowPen_;
    PreviewModel model_;
    PreviewChild preview_;
    SaverTaskChild task_;
    int depth_ = 0;
    bool closing_ = false;
    bool closePending_ = false;
};

HWND OpenSettingsWindow(const Settings& settings, TSaverList savers, std::function<void()> onDestroyed) {
    if (!RegisterWindowClass()) {
        MessageBoxA(nullptr, "Register class failed", nullptr, MB_OK);
        return nullptr;
    }
    const RECT place = CentredWindowRect();
    auto window = std::make_unique<SettingsWindow>(settings, std::move(savers), std::move(onDestroyed));
    const HWND hwnd =
        CreateWindowExA(0, kClassName, "Vantora", kWindowStyle, place.left, place.top, place.right - place.left,
                        place.bottom - place.top, nullptr, nullptr, GetModuleHandleA(nullptr), window.get());
    if (!hwnd) {
        MessageBoxA(nullptr, "WinCreate failed", nullptr, MB_OK);
        return nullptr;
    }
    SettingsWindow* self = window.release();  // the window deletes it at WM_NCDESTROY
    UpdateWindow(hwnd);
    self->Build();
    ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

bool PreTranslateSettingsMessage(HWND window, MSG& msg) {
    if (msg.message == WM_KEYDOWN && (msg.hwnd == window || IsChild(window, msg.hwnd))) {
        const HWND tabs = RegisteredControl(kIdTabs);
        const int page =
            PageForKey(static_cast<unsigned>(msg.wParam), GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0,
                       static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0)),
                       static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0)));
        if (page >= 0) {
            // A selection made by a message is not notified: tell the window as a click would.
            SendMessageA(tabs, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
            NMHDR header = {tabs, static_cast<UINT_PTR>(kIdTabs), static_cast<UINT>(TCN_SELCHANGE)};
            SendMessageA(window, WM_NOTIFY, kIdTabs, reinterpret_cast<LPARAM>(&header));
            return true;
        }
    }
    return IsDialogMessageA(window, &msg) != 0;
}

void RunSettingsLoop(HWND window) {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (PreTranslateSettingsMessage(window, msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void RunSettingsWindow() {
    AppMode |= kModeSettings;
    Catalogue catalogue = StartCatalogue(StartNotices::Show);
    const HWND window = OpenSettingsWindow(catalogue.settings, std::move(catalogue.savers), [] { PostQuitMessage(0); });
    if (!window) return;
    RunSettingsLoop(window);
    // The toolkit's state goes with the window; the process ends once this mode has returned.
    FreeToolkitFonts();
    UnloadThemeApi();
}
