// The least a tray companion written with Qt Widgets must do at start: a tray icon and one frameless,
// translucent, always-on-top window in the corner of the screen with a rounded panel and a label.
// bench/startup.sh compares the app's start time, memory and idle CPU with this program's.

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QVBoxLayout>
#include <QWidget>

namespace {

constexpr int windowWidth = 560;
constexpr int windowHeight = 120;
constexpr int cornerInset = 20;

QIcon drawTrayIcon()
{
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x4a, 0x90, 0xd9));
    painter.drawEllipse(QRectF(2, 2, 18, 18));
    return QIcon(pixmap);
}

// A rounded, filled panel behind its children; the corners outside it stay transparent.
class Panel : public QWidget {
public:
    Panel() : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    {
        setAttribute(Qt::WA_TranslucentBackground);
        setWindowTitle(QStringLiteral("Baseline"));
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(20, 16, 20, 16);
        // The same kind of text the strip shows first (a kaomoji and Chinese), so both programs pay for
        // the same fonts and the ratio measures Pellora's own overhead.
        auto* label =
            new QLabel(QStringLiteral("(｡•̀ᴗ-)✧  夜班护士 · 林岚\n19:00-21:00  看视频研究新的静脉穿刺技巧"), this);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::white);
        label->setPalette(palette);
        QFont font = label->font();
        font.setPixelSize(16);
        label->setFont(font);
        layout->addWidget(label);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(30, 30, 36, 235));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 14, 14);
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    QSystemTrayIcon tray(drawTrayIcon());
    tray.setToolTip(QStringLiteral("Baseline"));
    tray.show();

    Panel panel;
    panel.resize(windowWidth, windowHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        panel.move(available.x() + available.width() - windowWidth - cornerInset,
                   available.y() + available.height() - windowHeight - cornerInset);
    }
    panel.setAttribute(Qt::WA_ShowWithoutActivating);
    panel.show();

    return app.exec();
}
