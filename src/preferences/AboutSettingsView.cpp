#include "preferences/AboutSettingsView.h"

#include "common/BuildInfo.h"
#include "platform/Platform.h"
#include "preferences/CardFrame.h"
#include "preferences/LicensesView.h"
#include "preferences/SectionHeader.h"
#include "shared/SymbolImages.h"

#include <QApplication>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace quorvale {
namespace {

AboutSettingsView::Configuration& sharedConfiguration() {
    static AboutSettingsView::Configuration configuration;
    return configuration;
}

// The app's own icon, or, while it has none, its tray symbol on a blue tile.
QPixmap applicationIcon(qreal devicePixelRatio) {
    const int size = 100;
    const QIcon icon = QApplication::windowIcon();
    if (!icon.isNull() && !icon.availableSizes().isEmpty()) {
        return icon.pixmap(QSize(size, size), devicePixelRatio);
    }
    QPixmap tile(QSize(size, size) * devicePixelRatio);
    tile.setDevicePixelRatio(devicePixelRatio);
    tile.fill(Qt::transparent);
    QPainter painter(&tile);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, size);
    fill.setColorAt(0, QColor(0x4d, 0xa3, 0xf7));
    fill.setColorAt(1, QColor(0x1f, 0x6f, 0xd6));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(4, 4, size - 8, size - 8), 22, 22);
    painter.drawPixmap(
        QRectF(22, 22, 56, 56),
        SymbolImages::pixmap(QStringLiteral("text.viewfinder"), 56, Qt::white, devicePixelRatio),
        QRectF());
    return tile;
}

} // namespace

void AboutSettingsView::setConfiguration(Configuration configuration) {
    sharedConfiguration() = std::move(configuration);
}

const AboutSettingsView::Configuration& AboutSettingsView::configuration() {
    return sharedConfiguration();
}

QString AboutSettingsView::versionText(const QString& shortVersion, const QString& buildNumber) {
    return tr("Version %1 (%2)").arg(shortVersion, buildNumber);
}

AboutSettingsView::AboutSettingsView(QWidget* parent)
    : QWidget(parent) {
    const Configuration& config = configuration();
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(32);
    layout->addStretch(1);

    auto* card = new CardFrame(16);
    auto* cardLayout = new QVBoxLayout(card);
    cardLayout->setContentsMargins(16, 32, 16, 32);
    cardLayout->setSpacing(20);
    auto* icon = new QLabel;
    icon->setPixmap(applicationIcon(devicePixelRatioF()));
    auto* shadow = new QGraphicsDropShadowEffect(icon);
    shadow->setColor(QColor(0, 0, 0, 51));
    shadow->setBlurRadius(20);
    shadow->setOffset(0, 5);
    icon->setGraphicsEffect(shadow);
    cardLayout->addWidget(icon, 0, Qt::AlignHCenter);

    auto* name = new QLabel(QString::fromUtf8(build::kApplicationName));
    QFont title = name->font();
    title.setPointSizeF(21); // 28 px at 96 dpi
    title.setBold(true);
    name->setFont(title);
    cardLayout->addWidget(name, 0, Qt::AlignHCenter);

    m_version = new QLabel(
        versionText(QString::fromUtf8(build::kVersion), QString::fromUtf8(build::kBuildNumber)));
    SectionHeader::makeSecondary(m_version);
    m_version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cardLayout->addWidget(m_version, 0, Qt::AlignHCenter);

    m_checkForUpdates = new QPushButton(tr("Check for Updates"));
    QFont medium = m_checkForUpdates->font();
    medium.setWeight(QFont::Medium);
    m_checkForUpdates->setFont(medium);
    if (config.checkForUpdates) {
        connect(m_checkForUpdates, &QPushButton::clicked, this,
                [action = config.checkForUpdates] { action(); });
    } else {
        // Never pretend to check: without an updater the button says why it cannot.
        m_checkForUpdates->setEnabled(false);
        m_checkForUpdates->setToolTip(tr("This build has no update feed configured."));
    }
    cardLayout->addWidget(m_checkForUpdates, 0, Qt::AlignHCenter);
    layout->addWidget(card);

    auto* links = new QHBoxLayout;
    links->setSpacing(32);
    links->addStretch(1);
    if (config.privacyPolicy.isValid()) {
        m_privacy = link(tr("Privacy"), QStringLiteral("shield.fill"));
        connect(m_privacy, &QPushButton::clicked, this,
                [url = config.privacyPolicy] { platform::current().urlOpener->openUrl(url); });
        links->addWidget(m_privacy);
    }
    if (config.termsOfUse.isValid()) {
        m_terms = link(tr("Terms"), QStringLiteral("doc.text.fill"));
        connect(m_terms, &QPushButton::clicked, this,
                [url = config.termsOfUse] { platform::current().urlOpener->openUrl(url); });
        links->addWidget(m_terms);
    }
    m_acknowledgements = link(tr("Acknowledgements"), QStringLiteral("doc.plaintext.fill"));
    connect(m_acknowledgements, &QPushButton::clicked, this, &AboutSettingsView::showLicenses);
    links->addWidget(m_acknowledgements);
    links->addStretch(1);
    layout->addLayout(links);
    layout->addStretch(1);
}

QPushButton* AboutSettingsView::link(const QString& title, const QString& symbol) {
    auto* button = new QPushButton(title);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setIcon(SymbolImages::icon(symbol, SectionHeader::secondaryColor(palette())));
    SectionHeader::makeSecondary(button);
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, SectionHeader::secondaryColor(palette));
    button->setPalette(palette);
    return button;
}

void AboutSettingsView::showLicenses() {
    if (m_licenses) {
        m_licenses->raise();
        return;
    }
    m_licenses = new LicensesView(this);
    connect(m_licenses, &QDialog::finished, m_licenses, &QObject::deleteLater);
    m_licenses->setWindowModality(Qt::WindowModal);
    m_licenses->show();
}

} // namespace quorvale
