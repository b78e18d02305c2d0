// Names of the control-type codes: the kind of control a skin data belongs to.
// A code chooses the default section and whether the control shows hot.
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
