#include "sRegisterClasses.h"

#include "FormReader.h"
#include "acProgressBar.h"
#include "sAlphaListBox.h"
#include "sButton.h"
#include "sCheckBox.h"
#include "sComboBox.h"
#include "sEdit.h"
#include "sGroupBox.h"
#include "sLabel.h"
#include "sListView.h"
#include "sPageControl.h"
#include "sPanel.h"
#include "sRadioButton.h"
#include "sRichEdit.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"
#include "sSpeedButton.h"
#include "sSplitter.h"
#include "sTrackBar.h"
#include "sTreeView.h"
#include "sUpDown.h"

void RegisterSkinnedClasses() {
    RegisterComponentClass<TsSkinManager>();
    RegisterComponentClass<TsSkinProvider>();
    RegisterComponentClass<TsButton>();
    RegisterComponentClass<TsSpeedButton>();
    RegisterComponentClass<TsLabel>();
    RegisterComponentClass<TsLabelFX>();
    RegisterComponentClass<TsPanel>();
    RegisterComponentClass<TsDragBar>();
    RegisterComponentClass<TsEdit>();
    RegisterComponentClass<TsRichEdit>();
    RegisterComponentClass<TsCheckBox>();
    RegisterComponentClass<TsRadioButton>();
    RegisterComponentClass<TsGroupBox>();
    RegisterComponentClass<TsRadioGroup>();
    RegisterComponentClass<TsTrackBar>();
    RegisterComponentClass<TsProgressBar>();
    RegisterComponentClass<TsUpDown>();
    RegisterComponentClass<TsSplitter>();
    RegisterComponentClass<TsPageControl>();
    RegisterComponentClass<TsTabSheet>();
    RegisterComponentClass<TsComboBox>();
    RegisterComponentClass<TsListBox>();
    RegisterComponentClass<TsAlphaListBox>();
    RegisterComponentClass<TsListView>();
    RegisterComponentClass<TsTreeView>();
}
