#pragma once

#include <QObject>

class QComboBox;

// Tells when the user is about to open a combo box's list, before the list
// is shown, so its items can be refreshed first. QComboBox has no signal for
// that; the mouse press and the keys that open the list are seen here ahead
// of the combo box's own handling.
class PopupWatcher : public QObject
{
    Q_OBJECT
public:
    // Watches comboBox and is owned by it.
    explicit PopupWatcher(QComboBox *comboBox);

    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    void aboutToShowPopup();
};
