#pragma once

#include <QStringList>
#include <QWidget>

namespace pellora {

/// Word-wrapped text limited to a number of lines; when the text needs more, the last shown line ends
/// in "…". Paints in the palette's foreground colour. Its height follows its width.
class LineClampedLabel final : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)

public:
    explicit LineClampedLabel(QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);

    void setMaximumLines(int lines);

    // The lines drawn at the given content width.
    QStringList linesForWidth(int width) const;
    // The lines drawn at the current width.
    QStringList visibleLines() const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void invalidate();
    int linesHeight(qsizetype lineCount) const;

    QString m_text;
    int m_maximumLines = 2;
    // Layout of the last width asked for; heightForWidth and paint ask for the same width repeatedly.
    mutable int m_cachedWidth = -1;
    mutable QStringList m_cachedLines;
};

} // namespace pellora
