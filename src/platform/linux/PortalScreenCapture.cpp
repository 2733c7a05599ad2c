#include "platform/linux/PortalScreenCapture.h"

#include "platform/linux/PerScreenCut.h"
#include "platform/linux/PortalScreenshot.h"

#include "common/LogCategories.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace quorvale::platform {
namespace {

CaptureFailure failure(int code, const QString& description, bool declined = false) {
    return {QStringLiteral("Portal"), code, description, declined, false};
}

CaptureFailure failureOf(const PortalScreenshot::Outcome& outcome) {
    if (outcome.status == PortalScreenshot::Outcome::Status::declined) {
        return failure(1,
                       QCoreApplication::translate("PortalScreenCapture",
                                                   "The desktop refused to take a screenshot"),
                       true);
    }
    return failure(2, outcome.reason);
}

// The configured part of a display's picture, as a live grab would give it.
std::optional<QImage> cut(const FrozenDisplay& frozen, const StreamConfiguration& configuration) {
    const CaptureDisplay& display = frozen.display;
    const double scale = double(display.width) / display.frame.width();
    if (!std::isfinite(scale) || scale <= 0 || frozen.image.isNull()) {
        return std::nullopt;
    }
    const QRectF source =
        configuration.sourceRect.value_or(QRectF(QPointF(), display.frame.size()));
    const QRect pixels(int(std::floor(source.x() * scale)), int(std::floor(source.y() * scale)),
                       int(configuration.width), int(configuration.height));
    const QRect area = pixels.intersected(frozen.image.rect());
    if (area.isEmpty()) {
        return std::nullopt;
    }
    QImage image = frozen.image.copy(area);
    if (image.width() != configuration.width || image.height() != configuration.height) {
        image = image.scaled(int(configuration.width), int(configuration.height),
                             Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}

} // namespace

PortalScreenCapture::PortalScreenCapture(bool desktopPicksWindows)
    : m_desktopPicksWindows(desktopPicksWindows) {}

PortalScreenCapture::Layout PortalScreenCapture::layout() const {
    if (!m_frozen.expired() && !m_frozenLayout.screens.empty()) {
        return m_frozenLayout;
    }
    Layout result;
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (qsizetype i = 0; i < screens.size(); ++i) {
        const QScreen* screen = screens[i];
        // Stable while the output exists, and never 0.
        const quint32 id = quint32(qHash(screen->name()) % 0x7fffffffu) + 1u + quint32(i);
        Screen entry{id, screen->geometry(), screen->devicePixelRatio()};
        if (screen == primary) {
            result.screens.insert(result.screens.begin(), entry);
        } else {
            result.screens.push_back(entry);
        }
    }
    return result;
}

CaptureDisplay PortalScreenCapture::displayFor(const Layout& layout, const Screen& screen) {
    const QPoint origin = layout.screens.front().geometry.topLeft();
    return {screen.id, QRectF(screen.geometry.translated(-origin)),
            std::llround(screen.geometry.width() * screen.ratio),
            std::llround(screen.geometry.height() * screen.ratio)};
}

std::vector<CaptureDisplay> PortalScreenCapture::displaysOf(const Layout& layout) const {
    std::vector<CaptureDisplay> displays;
    for (const Screen& screen : layout.screens) {
        displays.push_back(displayFor(layout, screen));
    }
    return displays;
}

std::vector<ScreenInfo> PortalScreenCapture::screens() const {
    const Layout current = layout();
    std::vector<ScreenInfo> result;
    if (current.screens.empty()) {
        return result;
    }
    const double primaryHeight = current.screens.front().geometry.height();
    for (const Screen& screen : current.screens) {
        const QRectF cg = displayFor(current, screen).frame;
        const QRectF appKit(cg.x(), primaryHeight - (cg.y() + cg.height()), cg.width(),
                            cg.height());
        result.push_back({screen.id, appKit, screen.geometry, screen.ratio});
    }
    return result;
}

QPointF PortalScreenCapture::mouseLocation() const {
    // Known only from our own windows' pointer events: the last place the pointer was over one.
    const Layout current = layout();
    if (current.screens.empty()) {
        return {};
    }
    const QPoint origin = current.screens.front().geometry.topLeft();
    const QPointF cg = QPointF(QCursor::pos() - origin);
    return {cg.x(), current.screens.front().geometry.height() - cg.y()};
}

void PortalScreenCapture::getShareableDisplays(ContentCompletion completion) {
    ShareableContent content;
    content.displays = displaysOf(layout());
    completion(std::move(content), std::nullopt);
}

void PortalScreenCapture::getShareableContent(bool, bool, ContentCompletion completion) {
    // Wayland keeps every client's windows from the others: the list is the displays alone.
    getShareableDisplays(std::move(completion));
}

std::optional<std::vector<WindowListEntry>> PortalScreenCapture::onScreenWindowList() const {
    return std::nullopt;
}

std::shared_ptr<const FrozenScreens> PortalScreenCapture::freezeDisplays(bool) {
    // The desktop answers later: only freezeDisplaysThen gives pixels.
    qCWarning(Log::camera, "The screens can only be frozen asynchronously here");
    return std::make_shared<FrozenScreens>();
}

void PortalScreenCapture::freezeDisplaysThen(bool, FreezeCompletion completion) {
    std::weak_ptr<int> alive = m_alive;
    PortalScreenshot::take(false, [this, alive, completion = std::move(completion)](
                                      PortalScreenshot::Outcome outcome) {
        if (alive.expired()) {
            return;
        }
        if (outcome.status != PortalScreenshot::Outcome::Status::taken) {
            completion(nullptr, failureOf(outcome));
            return;
        }
        const Layout current = layout();
        std::vector<ScreenArea> areas;
        for (const Screen& screen : current.screens) {
            areas.push_back({screen.geometry, screen.ratio});
        }
        std::vector<QImage> images = cutPerScreen(outcome.image, areas);
        auto frozen = std::make_shared<FrozenScreens>();
        for (std::size_t i = 0; i < images.size(); ++i) {
            if (!images[i].isNull()) {
                frozen->displays.push_back(
                    {displayFor(current, current.screens[i]), std::move(images[i])});
            }
        }
        if (frozen->displays.empty()) {
            completion(nullptr,
                       failure(3, QCoreApplication::translate(
                                      "PortalScreenCapture",
                                      "The desktop's screenshot does not match the screens")));
            return;
        }
        m_frozen = frozen;
        m_frozenLayout = current;
        completion(std::move(frozen), std::nullopt);
    });
}

void PortalScreenCapture::captureImage(const ContentFilter& filter,
                                       const StreamConfiguration& configuration,
                                       ImageCompletion completion) {
    if (filter.kind != ContentFilter::Kind::display) {
        completion(std::nullopt,
                   failure(4, QCoreApplication::translate(
                                  "PortalScreenCapture",
                                  "Other programs' windows cannot be read in a Wayland session")));
        return;
    }
    if (auto frozen = m_frozen.lock()) {
        if (const FrozenDisplay* match = frozen->find(filter.display)) {
            auto image = cut(*match, configuration);
            image ? completion(std::move(image), std::nullopt)
                  : completion(std::nullopt, failure(5, QCoreApplication::translate(
                                                            "PortalScreenCapture",
                                                            "The area is outside the screen")));
            return;
        }
    }
    // No freeze of this display: ask the desktop for a fresh picture.
    freezeDisplaysThen(
        false, [filter, configuration, completion](std::shared_ptr<const FrozenScreens> frozen,
                                                   std::optional<CaptureFailure> error) {
            const FrozenDisplay* match = frozen ? frozen->find(filter.display) : nullptr;
            if (!match) {
                completion(std::nullopt,
                           error ? error
                                 : failure(5, QCoreApplication::translate("PortalScreenCapture",
                                                                          "The screen is gone")));
                return;
            }
            completion(cut(*match, configuration), std::nullopt);
        });
}

ScreenCapture::WindowPicking PortalScreenCapture::windowPicking() const {
    return m_desktopPicksWindows ? WindowPicking::desktopPicker : WindowPicking::unsupported;
}

void PortalScreenCapture::pickWindowImage(ImageCompletion completion) {
    PortalScreenshot::take(true,
                           [completion = std::move(completion)](PortalScreenshot::Outcome outcome) {
                               if (outcome.status != PortalScreenshot::Outcome::Status::taken) {
                                   CaptureFailure refusal = failureOf(outcome);
                                   // Leaving the desktop's own picker is the user's choice, as
                                   // Escape is in ours.
                                   refusal.cancelledByUser = outcome.response == 1;
                                   refusal.declined = refusal.declined && !refusal.cancelledByUser;
                                   completion(std::nullopt, refusal);
                                   return;
                               }
                               completion(std::move(outcome.image), std::nullopt);
                           });
}

} // namespace quorvale::platform
