#include "catalogue/field_table.h"

namespace kv5 {
namespace {

constexpr FieldKind kText = FieldKind::kText;
constexpr FieldKind kByte = FieldKind::kByte;
constexpr FieldKind kFloat = FieldKind::kFloat;
constexpr FieldKind kByteArray = FieldKind::kByteArray;

}  // namespace

// Every field of an entry, section by section in the order of the entry map.
// Offsets count from the entry's first byte (the signature's). Columns: id,
// name (the key in the text file), slot label, offset, kind, byte array
// length, repeat flag.
const std::array<FieldRow, kRegisteredFieldCount> kFieldTable = {{
    // Names and model type. The names lie near the end of the field area; the model type
    // follows the signature.
    {0,   "Name Formatting?",                      nullptr, 0x33AD, kText,      0, false},
    {1,   "Name",                                  nullptr, 0x33C1, kText,      0, false},
    {2,   "Name 2",                                nullptr, 0x33EE, kText,      0, false},
    {3,   "Model Type",                            nullptr, 0x000A, kByteArray, 2, false},

    // Voice.
    {6,   "Voice",                                 nullptr, 0x000E, kByte,      0, false},
    {7,   "Voice Pitch",                           nullptr, 0x000F, kByte,      0, false},
    {8,   "Voice Tone",                            nullptr, 0x0010, kByte,      0, false},
    {9,   "Voice Malfestation",                    nullptr, 0x0011, kByte,      0, false},

    // Character. "Face" shares its first byte with "Voice Malfestation"; the style and weapon
    // bytes lie far from the rest.
    {10,  "Character Type",                        nullptr, 0x0014, kByteArray, 2, false},
    {11,  "Fighting Style",                        nullptr, 0x1065, kByte,      0, false},
    {12,  "Weapon",                                nullptr, 0x1067, kByte,      0, false},
    {13,  "Face",                                  nullptr, 0x0011, kByteArray, 2, false},
    {14,  "Face2",                                 nullptr, 0x001E, kByteArray, 2, false},

    // Creation-mode equipment codes. The groups at 60, 64, 68, 72 and 84 belong to no field.
    {15,  "Creation Mode Head Equipment",          nullptr, 0x0020, kByteArray, 4, false},
    {16,  "Creation Mode Face Equipment",          nullptr, 0x0024, kByteArray, 4, false},
    {17,  "Creation Mode Undergarments",           nullptr, 0x0028, kByteArray, 4, false},
    {18,  "Creation Mode Upper Body Equipment",    nullptr, 0x002C, kByteArray, 4, false},
    {19,  "Creation Mode Lower Body Equipment",    nullptr, 0x0030, kByteArray, 4, false},
    {20,  "Creation Mode Neck and Back Equipment", nullptr, 0x0034, kByteArray, 4, false},
    {21,  "Creation Mode Arm Equipment",           nullptr, 0x0038, kByteArray, 4, false},
    {22,  "Creation Mode Upper Body Covering",     nullptr, 0x004C, kByteArray, 4, false},
    {23,  "Creation Mode Hip Equipment",           nullptr, 0x0050, kByteArray, 4, false},
    {24,  "Creation Mode Special Equip 1",         nullptr, 0x0058, kByteArray, 4, false},
    {25,  "Creation Mode Special Equip 2",         nullptr, 0x005C, kByteArray, 4, false},
    {26,  "Creation Mode Special Equip 3",         nullptr, 0x0060, kByteArray, 4, false},
    {27,  "Creation Mode Model?",                  nullptr, 0x0064, kByteArray, 4, false},

    // Heights and body. Each height lies on the bytes of another field: "Height 1" on
    // "Character Type", "Height 2" on "Scale-Head", "Height 3" on "Scale-Entirebody".
    {28,  "Height 1",                              nullptr, 0x0014, kByteArray, 2, false},
    {29,  "Height 2",                              nullptr, 0x0074, kFloat,     0, false},
    {30,  "Height 3",                              nullptr, 0x007C, kFloat,     0, false},
    {31,  "Scale-Shoulders",                       nullptr, 0x0068, kFloat,     0, false},
    {32,  "Scale-Upperbody",                       nullptr, 0x006C, kFloat,     0, false},
    {33,  "Scale-Lowerbody",                       nullptr, 0x0070, kFloat,     0, false},
    {34,  "Scale-Head",                            nullptr, 0x0074, kFloat,     0, false},
    {35,  "Scale-Hands",                           nullptr, 0x0078, kFloat,     0, false},
    {36,  "Scale-Entirebody",                      nullptr, 0x007C, kFloat,     0, false},
    {37,  "Scale-Unknown",                         nullptr, 0x0080, kFloat,     0, false},
    {38,  "Scale-Upperarms",                       nullptr, 0x0084, kFloat,     0, false},
    {39,  "Scale-Forearms",                        nullptr, 0x0088, kFloat,     0, false},
    {40,  "Scale-Pectorals",                       nullptr, 0x008C, kFloat,     0, false},
    {41,  "Scale-Waist",                           nullptr, 0x0090, kFloat,     0, false},
    {42,  "Scale-Hips",                            nullptr, 0x0094, kFloat,     0, false},
    {43,  "Scale-Thighs",                          nullptr, 0x0098, kFloat,     0, false},
    {44,  "Scale-Calves",                          nullptr, 0x009C, kFloat,     0, false},
    {45,  "Scale-Stomach",                         nullptr, 0x00A0, kFloat,     0, false},
    {46,  "Bust Size",                             nullptr, 0x00A4, kFloat,     0, false},
    {47,  "Muscle Mass",                           nullptr, 0x00A8, kByteArray, 4, false},

    // Colours, eight bytes each.
    {48,  "Color-Skin",                            nullptr, 0x00AC, kByteArray, 8, false},
    {49,  "Color-Eyebrows",                        nullptr, 0x00B4, kByteArray, 8, false},
    {50,  "Color-Eyes",                            nullptr, 0x00BC, kByteArray, 8, false},
    {51,  "Color-Eyes2",                           nullptr, 0x00C4, kByteArray, 8, false},
    {52,  "Color-Underwear",                       nullptr, 0x00CC, kByteArray, 8, false},
    {53,  "Color-Hair",                            nullptr, 0x00FC, kByteArray, 8, false},
    {54,  "Color-Tops1",                           nullptr, 0x01EC, kByteArray, 8, false},
    {55,  "Color-Tops2",                           nullptr, 0x01F4, kByteArray, 8, false},
    {56,  "Color-Tops3",                           nullptr, 0x01FC, kByteArray, 8, false},
    {57,  "Color-Tops4",                           nullptr, 0x0204, kByteArray, 8, false},
    {58,  "Color-Arms1",                           nullptr, 0x0264, kByteArray, 8, false},
    {59,  "Color-Arms2",                           nullptr, 0x026C, kByteArray, 8, false},
    {60,  "Color-Arms3",                           nullptr, 0x0274, kByteArray, 8, false},
    {61,  "Color-Arms4",                           nullptr, 0x027C, kByteArray, 8, false},
    {62,  "Color-Color1",                          nullptr, 0x032C, kByteArray, 8, false},
    {63,  "Color-Color2",                          nullptr, 0x0334, kByteArray, 8, false},
    {64,  "Color-Color3",                          nullptr, 0x033C, kByteArray, 8, false},
    {65,  "Color-Color4",                          nullptr, 0x0344, kByteArray, 8, false},
    {66,  "Color-Color5",                          nullptr, 0x034C, kByteArray, 8, false},
    {67,  "Color-Color6",                          nullptr, 0x0354, kByteArray, 8, false},
    {68,  "Color-Color7",                          nullptr, 0x035C, kByteArray, 8, false},
    {69,  "Color-Color8",                          nullptr, 0x0364, kByteArray, 8, false},

    // Effects.
    {70,  "Effect 1?",                             nullptr, 0x12E0, kText,      0, false},
    {71,  "Effect 2?",                             nullptr, 0x1300, kText,      0, false},

    // Slot array, copy 0: every one of the 36 slots. Slot s lies at 1132 + 8 * s; only its
    // first four bytes are a field, and the ids skip 100, 103 and 108.
    {72,  "UG0-Neck",                              "UG0",   0x046C, kByteArray, 4, false},
    {73,  "UG1-Upperbody1",                        "UG1",   0x0474, kByteArray, 4, false},
    {74,  "UG2-Shoulders",                         "UG2",   0x047C, kByteArray, 4, false},
    {75,  "UG3-Upperarms",                         "UG3",   0x0484, kByteArray, 4, false},
    {76,  "UG4-Lowerarms",                         "UG4",   0x048C, kByteArray, 4, false},
    {77,  "UG5-Hands",                             "UG5",   0x0494, kByteArray, 4, false},
    {78,  "UG6-Upperbody2",                        "UG6",   0x049C, kByteArray, 4, false},
    {79,  "UG7-Stomach",                           "UG7",   0x04A4, kByteArray, 4, false},
    {80,  "UG8-Hips",                              "UG8",   0x04AC, kByteArray, 4, false},
    {81,  "UG9-Thighs",                            "UG9",   0x04B4, kByteArray, 4, false},
    {82,  "UG10-Knees",                            "UG10",  0x04BC, kByteArray, 4, false},
    {83,  "UG11-Ankles",                           "UG11",  0x04C4, kByteArray, 4, false},
    {84,  "UG12-Feet",                             "UG12",  0x04CC, kByteArray, 4, false},
    {85,  "UG13-Head",                             "UG13",  0x04D4, kByteArray, 4, false},
    {86,  "Hair",                                  "HAIR",  0x04DC, kByteArray, 4, false},
    {87,  "G0-Shoulders",                          "G0",    0x04E4, kByteArray, 4, false},
    {88,  "G1-Upperarms",                          "G1",    0x04EC, kByteArray, 4, false},
    {89,  "G2-Lowerarms",                          "G2",    0x04F4, kByteArray, 4, false},
    {90,  "G3-Neck",                               "G3",    0x04FC, kByteArray, 4, false},
    {91,  "G4-Upperbody",                          "G4",    0x0504, kByteArray, 4, false},
    {92,  "G5-Waist",                              "G5",    0x050C, kByteArray, 4, false},
    {93,  "G6-Arms",                               "G6",    0x0514, kByteArray, 4, false},
    {94,  "G7",                                    "G7",    0x051C, kByteArray, 4, false},
    {95,  "G8-Thighs",                             "G8",    0x0524, kByteArray, 4, false},
    {96,  "G9-Shin",                               "G9",    0x052C, kByteArray, 4, false},
    {97,  "G10-Knees",                             "G10",   0x0534, kByteArray, 4, false},
    {98,  "G11-Equip3",                            "G11",   0x053C, kByteArray, 4, false},
    {99,  "Head Equipment",                        nullptr, 0x0544, kByteArray, 4, false},
    {101, "G13",                                   "G13",   0x054C, kByteArray, 4, false},
    {102, "Model",                                 "MDL",   0x0554, kByteArray, 4, false},
    {104, "G15-Belt",                              "G15",   0x055C, kByteArray, 4, false},
    {105, "G16-Equip1",                            "G16",   0x0564, kByteArray, 4, false},
    {106, "G17-Upperbody2",                        "G17",   0x056C, kByteArray, 4, false},
    {107, "Character style",                       nullptr, 0x0574, kByteArray, 4, false},
    {109, "G19",                                   "G19",   0x057C, kByteArray, 4, false},
    {110, "G20",                                   "G20",   0x0584, kByteArray, 4, false},

    // Slot array, copy 1 (from 1420): the second copy of the UG slots, and the model slot.
    {111, "UG0 (repeat)",                          "UG0",   0x058C, kByteArray, 4, true},
    {112, "UG1 (repeat)",                          "UG1",   0x0594, kByteArray, 4, true},
    {113, "UG2 (repeat)",                          "UG2",   0x059C, kByteArray, 4, true},
    {114, "UG3 (repeat)",                          "UG3",   0x05A4, kByteArray, 4, true},
    {115, "UG4 (repeat)",                          "UG4",   0x05AC, kByteArray, 4, true},
    {116, "UG5 (repeat)",                          "UG5",   0x05B4, kByteArray, 4, true},
    {117, "UG6 (repeat)",                          "UG6",   0x05BC, kByteArray, 4, true},
    {118, "UG7 (repeat)",                          "UG7",   0x05C4, kByteArray, 4, true},
    {119, "UG8 (repeat)",                          "UG8",   0x05CC, kByteArray, 4, true},
    {120, "UG9 (repeat)",                          "UG9",   0x05D4, kByteArray, 4, true},
    {121, "UG10 (repeat)",                         "UG10",  0x05DC, kByteArray, 4, true},
    {122, "UG11 (repeat)",                         "UG11",  0x05E4, kByteArray, 4, true},
    {123, "UG12 (repeat)",                         "UG12",  0x05EC, kByteArray, 4, true},
    {124, "UG13 (repeat)",                         "UG13",  0x05F4, kByteArray, 4, true},
    {192, "Model (repeat)",                        "MDL",   0x0674, kByteArray, 4, false},

    // Slot array, copy 2 (from 1708): the armor break slots.
    {125, "UG0 Armor Break",                       "UG0",   0x06AC, kByteArray, 4, false},
    {126, "UG1 Armor Break",                       "UG1",   0x06B4, kByteArray, 4, false},
    {127, "UG2 Armor Break",                       "UG2",   0x06BC, kByteArray, 4, false},
    {128, "UG3 Armor Break",                       "UG3",   0x06C4, kByteArray, 4, false},
    {129, "UG4 Armor Break",                       "UG4",   0x06CC, kByteArray, 4, false},
    {130, "UG5 Armor Break",                       "UG5",   0x06D4, kByteArray, 4, false},
    {131, "UG6 Armor Break",                       "UG6",   0x06DC, kByteArray, 4, false},
    {132, "UG7 Armor Break",                       "UG7",   0x06E4, kByteArray, 4, false},
    {133, "UG8 Armor Break",                       "UG8",   0x06EC, kByteArray, 4, false},
    {134, "UG9 Armor Break",                       "UG9",   0x06F4, kByteArray, 4, false},
    {135, "UG10 Armor Break",                      "UG10",  0x06FC, kByteArray, 4, false},
    {136, "UG11 Armor Break",                      "UG11",  0x0704, kByteArray, 4, false},
    {137, "UG12 Armor Break",                      "UG12",  0x070C, kByteArray, 4, false},
    {138, "UG13 Armor Break",                      "UG13",  0x0714, kByteArray, 4, false},
    {193, "Model Armor Break",                     "MDL",   0x0794, kByteArray, 4, false},
    {195, "Head Equipment (armor break?)",         nullptr, 0x0784, kByteArray, 4, false},

    // Slot array, copy 3 (from 1996): the second copy of the armor break UG slots.
    {139, "UG0 Armor Break (repeat)",              "UG0",   0x07CC, kByteArray, 4, true},
    {140, "UG1 Armor Break (repeat)",              "UG1",   0x07D4, kByteArray, 4, true},
    {141, "UG2 Armor Break (repeat)",              "UG2",   0x07DC, kByteArray, 4, true},
    {142, "UG3 Armor Break (repeat)",              "UG3",   0x07E4, kByteArray, 4, true},
    {143, "UG4 Armor Break (repeat)",              "UG4",   0x07EC, kByteArray, 4, true},
    {144, "UG5 Armor Break (repeat)",              "UG5",   0x07F4, kByteArray, 4, true},
    {145, "UG6 Armor Break (repeat)",              "UG6",   0x07FC, kByteArray, 4, true},
    {146, "UG7 Armor Break (repeat)",              "UG7",   0x0804, kByteArray, 4, true},
    {147, "UG8 Armor Break (repeat)",              "UG8",   0x080C, kByteArray, 4, true},
    {148, "UG9 Armor Break (repeat)",              "UG9",   0x0814, kByteArray, 4, true},
    {149, "UG10 Armor Break (repeat)",             "UG10",  0x081C, kByteArray, 4, true},
    {150, "UG11 Armor Break (repeat)",             "UG11",  0x0824, kByteArray, 4, true},
    {151, "UG12 Armor Break (repeat)",             "UG12",  0x082C, kByteArray, 4, true},
    {152, "UG13 Armor Break (repeat)",             "UG13",  0x0834, kByteArray, 4, true},
    {194, "Model Armor Break (repeat)",            "MDL",   0x08B4, kByteArray, 4, false},

    // Camera and thumbnail variables, up to the thumbnail at 13464.
    {198, "Camera Var1",                           nullptr, 0x341C, kByteArray, 4, false},
    {199, "Camera Var2",                           nullptr, 0x3420, kByteArray, 4, false},
    {200, "Camera Var3",                           nullptr, 0x3424, kByteArray, 4, false},
    {201, "Camera-Zoom",                           nullptr, 0x3428, kByteArray, 4, false},
    {202, "Camera Var5",                           nullptr, 0x342C, kByteArray, 4, false},
    {203, "Camera Var6",                           nullptr, 0x3430, kByteArray, 4, false},
    {204, "Camera Var7",                           nullptr, 0x3434, kByteArray, 4, false},
    {205, "Camera Var8",                           nullptr, 0x3438, kByteArray, 4, false},
    {206, "Camera Var9",                           nullptr, 0x343C, kByteArray, 4, false},
    {207, "Camera Var10",                          nullptr, 0x3440, kByteArray, 4, false},
    {208, "Camera Var11",                          nullptr, 0x3444, kByteArray, 4, false},
    {209, "Camera Var12",                          nullptr, 0x3448, kByteArray, 4, false},
    {210, "Camera Var13",                          nullptr, 0x344C, kByteArray, 4, false},
    {211, "Camera Var14",                          nullptr, 0x3450, kByteArray, 4, false},
    {212, "Thumbnail-Background",                  nullptr, 0x3454, kByteArray, 4, false},
    {213, "Thumbnail-Backframe?",                  nullptr, 0x3458, kByteArray, 4, false},
    {214, "Thumbnail-FrontFrame",                  nullptr, 0x345C, kByteArray, 4, false},
    {215, "Camera Var18",                          nullptr, 0x3460, kByteArray, 4, false},
    {216, "Camera Var19",                          nullptr, 0x3464, kByteArray, 4, false},
    {217, "Camera Var20",                          nullptr, 0x3468, kByteArray, 4, false},
    {218, "Camera Var21",                          nullptr, 0x346C, kByteArray, 4, false},
    {219, "Camera Var22",                          nullptr, 0x3470, kByteArray, 4, false},
    {220, "Camera Var23",                          nullptr, 0x3474, kByteArray, 4, false},
    {221, "Camera Var24",                          nullptr, 0x3478, kByteArray, 4, false},
    {222, "Camera Var25",                          nullptr, 0x347C, kByteArray, 4, false},
    {223, "Camera Var26",                          nullptr, 0x3480, kByteArray, 4, false},
    {224, "Camera Var27",                          nullptr, 0x3484, kByteArray, 4, false},
    {225, "Camera Var28",                          nullptr, 0x3488, kByteArray, 4, false},
    {226, "Camera Var29",                          nullptr, 0x348C, kByteArray, 4, false},
    {227, "Camera Var30",                          nullptr, 0x3490, kByteArray, 4, false},
    {228, "Camera Var31",                          nullptr, 0x3494, kByteArray, 4, false},
}};

const std::array<FieldGroupRow, kFieldGroupCount> kFieldGroups = {{
    {0, "Names and model type"},
    {6, "Voice"},
    {10, "Character"},
    {15, "Creation mode equipment"},
    {28, "Heights and body"},
    {48, "Colours"},
    {70, "Effects"},
    {72, "Equipment slots"},
    {111, "Equipment slots, second copy"},
    {125, "Armor break slots"},
    {139, "Armor break slots, second copy"},
    {192, "Model slots of the later copies"},
    {198, "Camera and thumbnail"},
}};

}  // namespace kv5
