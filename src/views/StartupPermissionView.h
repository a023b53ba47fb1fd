#pragma once

#include <QDialog>

class QAbstractButton;
class QLabel;
class QStackedWidget;

namespace pellora {

class LoginItem;
class PixelBackground;

/// The welcome dialog of a first launch: a greeting and one option, launch at login. "稍后" closes it at
/// once; "确认" registers the login item when the option is ticked, thanks the user and closes 1.5 s later.
/// A failed registration is reported under the option and by launchAtLoginFailed(), and the dialog stays open,
/// so the user can untick the option or close it.
///
/// The host presents it window-modal with open() and learns of every way it closes from finished().
/// Each presentation starts with the option unticked.
class StartupPermissionView final : public QDialog {
    Q_OBJECT

public:
    // `loginItem` must outlive the dialog.
    explicit StartupPermissionView(LoginItem& loginItem, QWidget* parent = nullptr);

    bool isChecked() const;
    bool showsThankYou() const;

signals:
    // Registering at login failed, for `error`.
    void launchAtLoginFailed(const QString& error);

protected:
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* createMainContent();
    QWidget* createThankYouContent();
    void confirm();

    LoginItem& m_loginItem;
    PixelBackground* m_background = nullptr;
    QStackedWidget* m_pages = nullptr;
    QAbstractButton* m_optionRow = nullptr;
    QLabel* m_failure = nullptr;
    // Counts closed presentations, so that a dismissal scheduled by one cannot close the next.
    int m_presentation = 0;
};

} // namespace pellora
