#pragma once

#include "preferences/LicenseSection.h"

#include <QDialog>
#include <QList>
#include <QPair>

namespace quorvale {

// The acknowledgements sheet: the licence of every library the app links.
class LicensesView : public QDialog {
    Q_OBJECT
public:
    static constexpr QSize kSize{500, 400};

    explicit LicensesView(QWidget* parent = nullptr);

    // The libraries' names and texts gathered when the app was built, in order.
    static QList<QPair<QString, QString>> bundledLicenses();
    const QList<LicenseSection*>& sections() const { return m_sections; }

private:
    QList<LicenseSection*> m_sections;
};

} // namespace quorvale
