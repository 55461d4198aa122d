#pragma once

#include "form/control_registry.h"

namespace zrk::form {

// The splash window shown while the tool starts.
class FrmSplash {
    ControlRegistry reg_;

public:
    ControlRegistry& controls() { return reg_; }
    FormControl& frmSplash = reg_.make<FormControl>("frmSplash", -1, nullptr);
    FrameControl& fraMainFrame = reg_.make<FrameControl>("fraMainFrame", -1, &frmSplash);
    PictureBox& Image1 = reg_.make<PictureBox>("Image1", -1, &fraMainFrame, PictureBox::Image::Logo);
    LabelControl& lblProductName = reg_.make<LabelControl>("lblProductName", -1, &fraMainFrame);
    LabelControl& lblVersion = reg_.make<LabelControl>("lblVersion", -1, &fraMainFrame);

    FrmSplash() { frmSplash.setVisible(false); }
};

}  // namespace zrk::form
