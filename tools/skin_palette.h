#pragma once
// The colours of the player's skin, shared by the player model's skin and the body-part textures
// so that both look like one character.
#include "tools/texture_canvas.h"

namespace texgen {

inline const Colour kSkinTone{222, 170, 130};
inline const Colour kSkinShadow{196, 142, 106};
inline const Colour kHair{78, 50, 30};
inline const Colour kBrow{58, 36, 22};
inline const Colour kEyeWhite{240, 240, 236};
inline const Colour kIris{44, 78, 150};
inline const Colour kMouth{158, 88, 78};
inline const Colour kTunic{52, 112, 74};
inline const Colour kTunicDark{38, 84, 56};
inline const Colour kBelt{96, 62, 34};
inline const Colour kBuckle{212, 176, 72};
inline const Colour kTrousers{70, 68, 112};
inline const Colour kBoot{72, 46, 28};
inline const Colour kBootCuff{104, 70, 42};
inline const Colour kSole{44, 30, 20};

}  // namespace texgen
