#include "preferences/LicensesView.h"

#include "preferences/SectionHeader.h"

#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace quorvale {

LicensesView::LicensesView(QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Acknowledgements"));
    setFixedSize(kSize);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* bar = new QWidget;
    bar->setAutoFillBackground(true);
    bar->setBackgroundRole(QPalette::Window);
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->addWidget(new SectionHeader(tr("Acknowledgements")));
    barLayout->addStretch(1);
    auto* done = new QPushButton(tr("Done"));
    done->setDefault(true);
    // QDialog closes on Escape by itself.
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    barLayout->addWidget(done);
    layout->addWidget(bar);

    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    layout->addWidget(divider);

    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* column = new QWidget;
    auto* columnLayout = new QVBoxLayout(column);
    columnLayout->setSpacing(16);
    columnLayout->addWidget(new SectionHeader(tr("Third Party Library:")));
    for (const auto& [name, text] : bundledLicenses()) {
        auto* section = new LicenseSection(name, text);
        columnLayout->addWidget(section);
        m_sections.append(section);
    }
    columnLayout->addStretch(1);
    scroll->setWidget(column);
    layout->addWidget(scroll, 1);
}

QList<QPair<QString, QString>> LicensesView::bundledLicenses() {
    QList<QPair<QString, QString>> licenses;
    QFile index(QStringLiteral(":/licenses/index.tsv"));
    if (!index.open(QIODevice::ReadOnly)) {
        return licenses;
    }
    for (const QByteArray& line : index.readAll().split('\n')) {
        const qsizetype tab = line.indexOf('\t');
        if (tab <= 0) {
            continue;
        }
        QFile text(QStringLiteral(":/licenses/") + QString::fromUtf8(line.left(tab)));
        if (text.open(QIODevice::ReadOnly)) {
            licenses.append(
                {QString::fromUtf8(line.mid(tab + 1)), QString::fromUtf8(text.readAll())});
        }
    }
    return licenses;
}

} // namespace quorvale
