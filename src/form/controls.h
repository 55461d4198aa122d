#pragma once

// Every control kind of the window model, one per header.
#include "form/controls/captioned_control.h"
#include "form/controls/check_box.h"
#include "form/controls/combo_box.h"
#include "form/controls/command_button.h"
#include "form/controls/control.h"
#include "form/controls/flex_grid.h"
#include "form/controls/form_control.h"
#include "form/controls/frame_control.h"
#include "form/controls/label_control.h"
#include "form/controls/picture_box.h"
#include "form/controls/rgb.h"
#include "form/controls/shape_control.h"
#include "form/controls/status_bar.h"
#include "form/controls/tab_strip.h"
#include "form/controls/text_box.h"
#include "form/controls/timer_control.h"
