#pragma once

#include "capture/ScreenshotError.h"
#include "capture/SelectionResult.h"
#include "capture/SelectionView.h"
#include "capture/SelectionViewDelegate.h"
#include "common/Result.h"
#include "platform/ScreenCapture.h"

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

namespace quorvale {

// Runs one interactive selection over every screen: one overlay per screen showing the
// screens as they were when it began, and one result at most.
class SelectionWindowController : public SelectionViewDelegate,
                                  public std::enable_shared_from_this<SelectionWindowController> {
public:
    using SelectionOutcome = Result<SelectionResult, ScreenshotError>;
    using Completion = std::function<void(SelectionOutcome)>;

    static constexpr double kStartupPause = 0.2;
    static inline const QString kOverlayTitle = QStringLiteral("Quorvale selection");

    // Builds the overlays (hidden). Hold it in a shared_ptr.
    static std::shared_ptr<SelectionWindowController> create();
    ~SelectionWindowController() override;

    void startSelection(bool windowMode, Completion completion);
    void close();

    bool isSelecting() const { return m_isSelecting; }
    bool isClosed() const { return m_isClosed; }
    const std::vector<SelectionView*>& selectionWindows() const { return m_views; }
    // What the overlays show; valid from the start of a selection until its result returns.
    std::shared_ptr<const platform::FrozenScreens> frozenScreens() const { return m_frozen; }

    static bool isSelectableWindow(const ShareableWindow& window, const QString& ownBundleId);

    // SelectionViewDelegate
    double selectionStartTime() const override { return m_selectionStartTime; }
    void selectionDidSelectRect(const QRectF& rect) override;
    void selectionDidSelectWindow(const ShareableWindow& window) override;
    void selectionDidCancel() override;
    void didHoverWindow(const std::optional<ShareableWindow>& window,
                        const std::optional<QRectF>& frame, std::optional<std::int32_t> layer,
                        const QRegion& visibleRegion) override;

    void refreshWindowList();
    void applyWindowList(const platform::ShareableContent& content);
    void orderWindowsForMouse();
    void updateCursors();

private:
    struct StartupTask;

    SelectionWindowController();
    void setupSelectionWindows();
    void finishSelection(SelectionOutcome outcome);
    void cancelDeferredRequests() { ++m_deferredGeneration; }
    void makeKey(SelectionView* view);
    void releaseKey();
    void watchScreens(bool watch);
    void screensChanged();
    void startStartupTask();
    void cancelStartupTask();
    static void runStartupStage(const std::shared_ptr<StartupTask>& task, int stage);
    void showOverlays(bool windowMode, std::shared_ptr<const platform::FrozenScreens> frozen);

    std::vector<SelectionView*> m_views; // top-level overlays, owned here
    Completion m_completion;
    bool m_isSelecting = false;
    double m_selectionStartTime = 0;
    std::shared_ptr<StartupTask> m_selectionTask;
    bool m_isClosed = false;

    std::uint64_t m_deferredGeneration = 0;
    std::uint64_t m_freezeGeneration = 0; // a freeze answered after its selection ended is dropped
    SelectionView* m_keyView = nullptr;
    std::shared_ptr<const platform::FrozenScreens> m_frozen;
    std::unique_ptr<QObject> m_screenWatch;
};

} // namespace quorvale
