#include "platform/linux/X11ScreenCapture.h"

#include "platform/linux/X11Connection.h"

#include "common/BuildInfo.h"
#include "common/LogCategories.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QtGui/qguiapplication_platform.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <unistd.h>
#include <xcb/composite.h>
#include <xcb/randr.h>

namespace quorvale::platform {
namespace {

template <typename T> XcbReply<T> own(T* reply) {
    return XcbReply<T>(reply, &std::free);
}

constexpr std::int32_t kDesktopLayer = -1000;
constexpr std::int32_t kAboveLayer = 3;
constexpr std::int32_t kDockLayer = 20;

CaptureFailure failure(int code, const QString& description) {
    return {QStringLiteral("X11"), code, description};
}

// Wraps a GetImage reply without copying; the image frees it.
std::optional<QImage> imageFromReply(XcbReply<xcb_get_image_reply_t> reply, int width, int height) {
    if (!reply || (reply->depth != 24 && reply->depth != 32)) {
        return std::nullopt;
    }
    const int length = xcb_get_image_data_length(reply.get());
    if (width <= 0 || height <= 0 || length < width * height * 4) {
        return std::nullopt;
    }
    const QImage::Format format =
        reply->depth == 32 ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    uchar* data = xcb_get_image_data(reply.get());
    xcb_get_image_reply_t* raw = reply.release();
    // Screen-sized buffers: hand the memory back to the system as soon as they go.
    return QImage(
        data, width, height, width * 4, format,
        [](void* p) {
            std::free(p);
            malloc_trim(0);
        },
        raw);
}

QImage fitted(QImage image, std::int64_t width, std::int64_t height) {
    if (image.width() == width && image.height() == height) {
        return image;
    }
    return image.scaled(int(width), int(height), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// A window's picture at the configured scale. The configuration sizes the whole frame; what
// was read may be less (the client area without the decorations, or the part on a screen),
// and stretching that to the frame's size would distort the text.
QImage fittedPart(QImage part, const StreamConfiguration& configuration, QSizeF framePixels) {
    if (framePixels.isEmpty()) {
        return part;
    }
    const double sx = double(configuration.width) / framePixels.width();
    const double sy = double(configuration.height) / framePixels.height();
    return fitted(std::move(part), std::max<std::int64_t>(1, std::llround(part.width() * sx)),
                  std::max<std::int64_t>(1, std::llround(part.height() * sy)));
}

} // namespace

X11ScreenCapture::X11ScreenCapture()
    : m_connection(qtX11Connection()) {
    if (!m_connection) {
        return;
    }
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    m_windowList = std::make_unique<X11WindowList>(m_connection);
    own(xcb_composite_query_version_reply(
        m_connection, xcb_composite_query_version(m_connection, 0, 4), nullptr));
}

X11ScreenCapture::~X11ScreenCapture() = default;

X11ScreenCapture::Layout X11ScreenCapture::layout() const {
    // A change of screens ends the selection, so while a freeze lives its layout holds; not
    // asking spares a round trip that waits behind the server repainting under the overlays.
    if (!m_frozen.expired() && !m_frozenLayout.monitors.empty()) {
        return m_frozenLayout;
    }
    return liveLayout();
}

X11ScreenCapture::Layout X11ScreenCapture::liveLayout() const {
    Layout result;
    if (!m_connection) {
        return result;
    }
    auto reply = own(xcb_randr_get_monitors_reply(
        m_connection, xcb_randr_get_monitors(m_connection, m_root, 1), nullptr));
    if (reply) {
        for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.get()); it.rem;
             xcb_randr_monitor_info_next(&it)) {
            const xcb_randr_monitor_info_t* info = it.data;
            Monitor monitor;
            monitor.name = info->name;
            monitor.native = QRect(info->x, info->y, info->width, info->height);
            monitor.primary = info->primary;
            result.monitors.push_back(monitor);
        }
    }
    if (result.monitors.empty()) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        result.monitors.push_back(
            {0, QRect(0, 0, screen->width_in_pixels, screen->height_in_pixels), {}, 1.0, true});
    }
    const QScreen* qtPrimary = QGuiApplication::primaryScreen();
    for (Monitor& monitor : result.monitors) {
        monitor.qtGeometry = monitor.native;
        // Qt keeps a screen's native origin and divides only its size.
        for (const QScreen* screen : QGuiApplication::screens()) {
            if (screen->geometry().topLeft() == monitor.native.topLeft()) {
                monitor.qtGeometry = screen->geometry();
                monitor.ratio = screen->devicePixelRatio();
                if (qtPrimary) {
                    monitor.primary = screen == qtPrimary;
                }
            }
        }
    }
    auto primary = std::find_if(result.monitors.begin(), result.monitors.end(),
                                [](const Monitor& m) { return m.primary; });
    if (primary != result.monitors.end()) {
        std::rotate(result.monitors.begin(), primary, primary + 1);
    }
    result.primaryOrigin = result.monitors.front().qtGeometry.topLeft();
    return result;
}

QRectF X11ScreenCapture::toCG(const Layout& layout, const QRect& native) const {
    const Monitor* monitor = &layout.monitors.front();
    for (const Monitor& candidate : layout.monitors) {
        if (candidate.native.contains(native.center())) {
            monitor = &candidate;
            break;
        }
    }
    const QPointF offset = QPointF(native.topLeft() - monitor->native.topLeft()) / monitor->ratio;
    const QPointF origin = QPointF(monitor->qtGeometry.topLeft()) + offset - layout.primaryOrigin;
    return {origin, QSizeF(native.size()) / monitor->ratio};
}

CaptureDisplay X11ScreenCapture::displayFor(const Layout& layout, const Monitor& monitor) const {
    return {monitor.name, QRectF(monitor.qtGeometry.translated(-layout.primaryOrigin)),
            monitor.native.width(), monitor.native.height()};
}

std::vector<ScreenInfo> X11ScreenCapture::screens() const {
    const Layout current = layout();
    std::vector<ScreenInfo> result;
    if (current.monitors.empty()) {
        return result;
    }
    const double primaryHeight = current.monitors.front().qtGeometry.height();
    for (const Monitor& monitor : current.monitors) {
        const QRectF cg = displayFor(current, monitor).frame;
        const QRectF appKit(cg.x(), primaryHeight - (cg.y() + cg.height()), cg.width(),
                            cg.height());
        result.push_back({monitor.name, appKit, monitor.qtGeometry, monitor.ratio});
    }
    return result;
}

QPointF X11ScreenCapture::mouseLocation() const {
    const Layout current = layout();
    if (current.monitors.empty()) {
        return {};
    }
    const QPointF cg = QPointF(QCursor::pos() - current.primaryOrigin);
    return {cg.x(), current.monitors.front().qtGeometry.height() - cg.y()};
}

QString X11ScreenCapture::ownApplicationId() const {
    return QString::fromLatin1(build::kApplicationId);
}

std::vector<CaptureDisplay> X11ScreenCapture::displaysOf(const Layout& layout) const {
    std::vector<CaptureDisplay> displays;
    for (const Monitor& monitor : layout.monitors) {
        displays.push_back(displayFor(layout, monitor));
    }
    return displays;
}

void X11ScreenCapture::getShareableDisplays(ContentCompletion completion) {
    if (!m_connection) {
        completion(std::nullopt, failure(1, QCoreApplication::translate(
                                                "X11ScreenCapture", "No X11 display connection")));
        return;
    }
    ShareableContent content;
    content.displays = displaysOf(layout());
    completion(std::move(content), std::nullopt);
}

void X11ScreenCapture::getShareableContent(bool excludingDesktopWindows, bool onScreenWindowsOnly,
                                           ContentCompletion completion) {
    if (!m_connection) {
        completion(std::nullopt, failure(1, QCoreApplication::translate(
                                                "X11ScreenCapture", "No X11 display connection")));
        return;
    }
    const Layout current = layout();
    ShareableContent content;
    content.displays = displaysOf(current);
    const std::uint32_t ownPid = std::uint32_t(getpid());
    for (const X11WindowList::Window& window : m_windowList->windows()) {
        if ((excludingDesktopWindows && window.desktop) ||
            (onScreenWindowsOnly && !window.isOnScreen())) {
            continue;
        }
        CaptureWindow entry;
        entry.windowID = window.id;
        entry.frame = toCG(current, window.frame);
        entry.title = window.title;
        entry.isOnScreen = window.isOnScreen();
        if (window.pid == ownPid) {
            entry.owningApplication = WindowOwner{ownApplicationId(), false};
        } else if (window.dock || window.desktop) {
            entry.owningApplication = WindowOwner{window.applicationId, true};
        } else if (!window.applicationId.isEmpty()) {
            entry.owningApplication = WindowOwner{window.applicationId, false};
        }
        content.windows.push_back(std::move(entry));
    }
    completion(std::move(content), std::nullopt);
}

std::optional<std::vector<WindowListEntry>> X11ScreenCapture::onScreenWindowList() const {
    if (!m_connection) {
        return std::nullopt;
    }
    const Layout current = layout();
    std::vector<WindowListEntry> entries;
    for (const X11WindowList::Window& window : m_windowList->windows()) {
        if (!window.isOnScreen()) {
            continue;
        }
        const std::int32_t layer = window.desktop ? kDesktopLayer
                                   : window.dock  ? kDockLayer
                                   : window.above ? kAboveLayer
                                                  : 0;
        entries.push_back(
            {toCG(current, window.frame), window.alpha, std::int64_t(window.id), layer});
    }
    return entries;
}

std::shared_ptr<const FrozenScreens> X11ScreenCapture::freezeDisplays(bool forWindowPicking) {
    auto frozen = std::make_shared<FrozenScreens>();
    if (!m_connection) {
        return frozen;
    }
    const Layout current = liveLayout();
    std::vector<xcb_get_image_cookie_t> cookies;
    for (const Monitor& monitor : current.monitors) {
        const QRect& r = monitor.native;
        cookies.push_back(xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root,
                                        std::int16_t(r.x()), std::int16_t(r.y()),
                                        std::uint16_t(r.width()), std::uint16_t(r.height()), ~0u));
    }
    for (std::size_t i = 0; i < cookies.size(); ++i) {
        const Monitor& monitor = current.monitors[i];
        auto image = imageFromReply(own(xcb_get_image_reply(m_connection, cookies[i], nullptr)),
                                    monitor.native.width(), monitor.native.height());
        if (image) {
            frozen->displays.push_back({displayFor(current, monitor), std::move(*image)});
        }
    }
    if (forWindowPicking) {
        // Covered windows get pixmaps of their own now, so they hold content by the click.
        frozen->backendState = redirectWindows();
    }
    m_frozen = frozen;
    m_frozenLayout = current;
    return frozen;
}

std::shared_ptr<void> X11ScreenCapture::redirectWindows() {
    if (auto existing = m_redirect.lock()) {
        return existing;
    }
    auto error = own(xcb_request_check(
        m_connection, xcb_composite_redirect_subwindows_checked(m_connection, m_root,
                                                                XCB_COMPOSITE_REDIRECT_AUTOMATIC)));
    if (error) {
        qCWarning(Log::camera, "Windows cannot be redirected (X error %d)", int(error->error_code));
        return nullptr;
    }
    xcb_connection_t* connection = m_connection;
    const xcb_window_t root = m_root;
    std::shared_ptr<void> state(nullptr, [connection, root](void*) {
        if (qtX11Connection() == connection) {
            xcb_composite_unredirect_subwindows(connection, root, XCB_COMPOSITE_REDIRECT_AUTOMATIC);
            xcb_flush(connection);
        }
    });
    m_redirect = state;
    return state;
}

std::optional<QImage> X11ScreenCapture::grab(xcb_drawable_t drawable, const QRect& area) const {
    if (area.isEmpty()) {
        return std::nullopt;
    }
    const auto cookie = xcb_get_image(
        m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, std::int16_t(area.x()),
        std::int16_t(area.y()), std::uint16_t(area.width()), std::uint16_t(area.height()), ~0u);
    return imageFromReply(own(xcb_get_image_reply(m_connection, cookie, nullptr)), area.width(),
                          area.height());
}

void X11ScreenCapture::captureImage(const ContentFilter& filter,
                                    const StreamConfiguration& configuration,
                                    ImageCompletion completion) {
    if (!m_connection) {
        completion(std::nullopt, failure(1, QCoreApplication::translate(
                                                "X11ScreenCapture", "No X11 display connection")));
        return;
    }
    const bool display = filter.kind == ContentFilter::Kind::display;
    std::optional<QImage> image =
        display ? captureDisplay(filter, configuration) : captureWindow(filter, configuration);
    if (!image) {
        completion(std::nullopt,
                   failure(2, QCoreApplication::translate("X11ScreenCapture",
                                                          "The screen could not be read")));
        return;
    }
    completion(display ? fitted(std::move(*image), configuration.width, configuration.height)
                       : std::move(*image),
               std::nullopt);
}

std::optional<QImage>
X11ScreenCapture::captureDisplay(const ContentFilter& filter,
                                 const StreamConfiguration& configuration) const {
    const CaptureDisplay& display = filter.display;
    const double scale = double(display.width) / display.frame.width();
    if (!std::isfinite(scale) || scale <= 0) {
        return std::nullopt;
    }
    const QRectF source =
        configuration.sourceRect.value_or(QRectF(QPointF(), display.frame.size()));
    const QRect pixels(int(std::floor(source.x() * scale)), int(std::floor(source.y() * scale)),
                       int(configuration.width), int(configuration.height));
    const QRect bounds(0, 0, int(display.width), int(display.height));
    const QRect area = pixels.intersected(bounds);
    if (auto frozen = m_frozen.lock()) {
        if (const FrozenDisplay* match = frozen->find(display)) {
            return match->image.copy(area);
        }
    }
    // No freeze of this display as it is now: read the screen itself.
    const Layout current = layout();
    for (const Monitor& monitor : current.monitors) {
        if (displayFor(current, monitor).frame == display.frame &&
            monitor.name == display.displayID && monitor.native.width() == display.width) {
            return grab(m_root, area.translated(monitor.native.topLeft()));
        }
    }
    return std::nullopt;
}

std::optional<QImage> X11ScreenCapture::windowPixels(xcb_window_t window,
                                                     const QRect& nativeFrame) const {
    // The pixmap belongs to the top-level the window manager made (the frame), if any.
    xcb_window_t topLevel = window;
    for (;;) {
        auto tree = own(
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, topLevel), nullptr));
        if (!tree) {
            return std::nullopt;
        }
        if (tree->parent == tree->root || tree->parent == XCB_WINDOW_NONE) {
            break;
        }
        topLevel = tree->parent;
    }
    auto geometry = own(
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, topLevel), nullptr));
    if (!geometry) {
        return std::nullopt;
    }
    const xcb_pixmap_t pixmap = xcb_generate_id(m_connection);
    auto error = own(xcb_request_check(
        m_connection, xcb_composite_name_window_pixmap_checked(m_connection, topLevel, pixmap)));
    if (error) {
        return std::nullopt;
    }
    const int border = geometry->border_width;
    const QRect pixmapArea(0, 0, geometry->width + 2 * border, geometry->height + 2 * border);
    const QRect area = nativeFrame.translated(-geometry->x, -geometry->y).intersected(pixmapArea);
    std::optional<QImage> image = grab(pixmap, area);
    xcb_free_pixmap(m_connection, pixmap);
    return image;
}

std::optional<QImage>
X11ScreenCapture::captureWindow(const ContentFilter& filter,
                                const StreamConfiguration& configuration) const {
    const Layout current = layout();
    const CaptureWindow& window = filter.window;
    for (const X11WindowList::Window& candidate : m_windowList->windows()) {
        if (candidate.id == window.windowID) {
            // The title bar and buttons the window manager draws are not the window's text.
            if (auto image = windowPixels(candidate.id, candidate.content)) {
                return fittedPart(std::move(*image), configuration, QSizeF(candidate.frame.size()));
            }
            break;
        }
    }
    qCWarning(Log::camera,
              "The pixels of window 0x%x cannot be read; using what the screen showed of it",
              unsigned(window.windowID));
    auto frozen = m_frozen.lock();
    if (!frozen) {
        return std::nullopt;
    }
    for (const FrozenDisplay& display : frozen->displays) {
        const QRectF frame = display.display.frame;
        if (!frame.contains(window.frame.center())) {
            continue;
        }
        const double scale = double(display.display.width) / frame.width();
        const QRectF local =
            window.frame.translated(-frame.topLeft()).intersected(QRectF(QPointF(), frame.size()));
        const QRect pixels(int(std::floor(local.x() * scale)), int(std::floor(local.y() * scale)),
                           int(std::ceil(local.width() * scale)),
                           int(std::ceil(local.height() * scale)));
        const QRect area = pixels.intersected(display.image.rect());
        if (!area.isEmpty()) {
            return fittedPart(display.image.copy(area), configuration, window.frame.size() * scale);
        }
    }
    return std::nullopt;
}

} // namespace quorvale::platform
