#pragma once

#include <QWidget>

// The editor's caption band: the window's title on a colour gradient that starts in red, above
// the menu, so that the image editor is told apart from the chart designer at a glance.
class TGradientCaption : public QWidget {
    Q_OBJECT

public:
    explicit TGradientCaption(QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const { return text_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString text_;
};
