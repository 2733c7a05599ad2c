#pragma once

#include "capture/ScreenshotError.h"
#include "capture/SelectionResult.h"
#include "common/Result.h"
#include "platform/ScreenCapture.h"

#include <QImage>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>

namespace quorvale {

class SelectionWindowController;

// Lets the user pick an area or a window and returns its pixels.
class ScreenshotService : public std::enable_shared_from_this<ScreenshotService> {
public:
    // A set of request options over a signed 64-bit raw value; unknown bits are carried.
    struct Options {
        std::int64_t rawValue = 0;

        static constexpr std::int64_t windowMode = 1;

        constexpr Options() = default;
        constexpr explicit Options(std::int64_t raw)
            : rawValue(raw) {}
        constexpr Options(std::initializer_list<std::int64_t> members) {
            for (std::int64_t member : members) {
                rawValue |= member;
            }
        }

        constexpr bool contains(std::int64_t member) const { return (rawValue & member) == member; }
        constexpr bool isEmpty() const { return rawValue == 0; }
        constexpr bool isSubset(Options other) const { return (rawValue & ~other.rawValue) == 0; }
        constexpr bool isDisjoint(Options other) const { return (rawValue & other.rawValue) == 0; }
        constexpr Options unionWith(Options o) const { return Options(rawValue | o.rawValue); }
        constexpr Options intersection(Options o) const { return Options(rawValue & o.rawValue); }
        constexpr Options symmetricDifference(Options o) const {
            return Options(rawValue ^ o.rawValue);
        }
        constexpr Options subtracting(Options o) const { return Options(rawValue & ~o.rawValue); }
        constexpr void insert(std::int64_t member) { rawValue |= member; }
        constexpr void remove(std::int64_t member) { rawValue &= ~member; }
        constexpr void update(std::int64_t member) { rawValue |= member; }
        friend constexpr bool operator==(Options, Options) = default;
    };

    using CaptureResult = Result<QImage, ScreenshotError>;
    using Completion = std::function<void(CaptureResult)>;

    static inline const QString kCapturedImageIsNil = QStringLiteral("Captured image is nil");

    ScreenshotService();
    virtual ~ScreenshotService();
    // Returns at once; the completion runs at most once, and never for a request that a
    // newer one superseded or that outlived the service. Hold the service in a shared_ptr.
    virtual void capture(Options options, Completion completion);

    const std::shared_ptr<SelectionWindowController>& selectionWindowController() const {
        return m_selectionWindowController;
    }

private:
    using Frozen = std::shared_ptr<const platform::FrozenScreens>;

    // The desktop's own window picker, where windows cannot be listed.
    static void pickWithDesktop(const std::weak_ptr<ScreenshotService>& weakSelf,
                                Completion completion);
    static void handleSelection(const std::weak_ptr<ScreenshotService>& weakSelf,
                                Result<SelectionResult, ScreenshotError> outcome,
                                const Completion& completion);
    static void captureArea(const QRectF& rect, const platform::ShareableContent& content,
                            const Completion& completion, const Frozen& frozen);
    static void captureWindow(const ShareableWindow& window,
                              const platform::ShareableContent& content,
                              const Completion& completion, const Frozen& frozen);
    static void deliverCapture(std::optional<QImage> image,
                               std::optional<platform::CaptureFailure> error,
                               const Completion& completion);

    std::shared_ptr<SelectionWindowController> m_selectionWindowController;
};

} // namespace quorvale
