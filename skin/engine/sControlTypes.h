// Names of the control-type codes (the kind of control a skin data belongs to;
// a code chooses the default section and whether the control shows hot) and
// of the paint states every painter of a part is handed.
#pragma once

enum TsControlType : int {
    acCtUnknown = 0,
    acCtComboBox = 3,
    acCtListView = 10,
    acCtCheckBox = 32,
    acCtRadioButton = 33,
    acCtSingleLineEdit = 3,
    acCtRichEdit = 7,
    acCtPanel = 51,
    acCtDragBar = 56,
    acCtGroupBox = 74,
    acCtSplitter = 75,
    acCtSpeedButton = 92,
    acCtButton = 93,
    acCtTreeView = 96,
    acCtEdit = 97,
    acCtPageControl = 141,
    acCtProgressBar = 161,
    acCtTrackBar = 165,
    acCtForm = 224,
    acCtAdapterItem = 227,
};

// The look of one paint, worked out once by the caller and passed down to the
// painter of the part (controls, adapters and the title bar alike; Active is
// the hot look). The numbers are the state indexes of the skin's pictures.
enum class TsPaintState : int { Normal = 0, Active = 1, Pressed = 2 };
constexpr int acStateIndex(TsPaintState State) { return static_cast<int>(State); }
