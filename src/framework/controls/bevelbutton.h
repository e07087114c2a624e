// An image button: an icon, a caption and a Value shown as pressed. Its style says
// what a click does to Value: 0 push (nothing), 1 toggle, 2 sticky (stays pressed).
#pragma once

#include "framework/controls/control.h"
#include "framework/graphics/picture.h"

#include <QString>
#include <functional>
#include <memory>

class QToolButton;

class BevelButton : public Control {
public:
    BevelButton();

    QString Caption() const;
    void SetCaption(const QString& caption);
    std::shared_ptr<Picture> Icon() const { return icon_; }
    void SetIcon(std::shared_ptr<Picture> icon);

    int ButtonStyle() const { return style_; }
    void SetButtonStyle(int style);

    // The pressed state; setting it fires nothing.
    bool Value() const;
    void SetValue(bool pressed);

    // Clicks the button as the user would: updates Value by the style, fires Action.
    void Push();

    std::function<void(BevelButton&)> Action;
    std::function<void(BevelButton&)> Open;

    void FireOpen() override;

private:
    void Clicked();

    QToolButton* button_;
    std::shared_ptr<Picture> icon_;
    QString caption_;
    int style_ = 0;
    bool value_ = false;
};
