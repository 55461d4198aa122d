#pragma once

#include <string>
#include <utility>

#include "form/controls/control.h"
#include "form/controls/rgb.h"

namespace zrk::form {

// A fixed picture: a round lamp of one colour, the logo or the start picture.
class PictureBox : public Control {
public:
    enum class Image { Lamp, Logo, StartPicture };
    PictureBox(std::string name, int index, Control* parent, ChangeHub& hub, Image image, Rgb color = {})
        : Control(Kind::Picture, std::move(name), index, parent, hub), image(image), color(color) {}
    const Image image;
    const Rgb color;
};

}  // namespace zrk::form
