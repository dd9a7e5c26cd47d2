#pragma once

#include <QPushButton>

// The push button "Чисти", painted in its own colours in every style: a red
// face with a raised 3-pixel border that sinks while it is pressed, and a
// black frame while it has the focus.
class RedButton : public QPushButton
{
    Q_OBJECT

public:
    explicit RedButton(const QString &text, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
