#include "sRegisterClasses.h"

#include "FormReader.h"
#include "sButton.h"
#include "sEdit.h"
#include "sLabel.h"
#include "sPanel.h"
#include "sRichEdit.h"
#include "sSkinManager.h"
#include "sSpeedButton.h"

void RegisterSkinnedClasses() {
    RegisterComponentClass<TsSkinManager>();
    RegisterComponentClass<TsButton>();
    RegisterComponentClass<TsSpeedButton>();
    RegisterComponentClass<TsLabel>();
    RegisterComponentClass<TsLabelFX>();
    RegisterComponentClass<TsPanel>();
    RegisterComponentClass<TsDragBar>();
    RegisterComponentClass<TsEdit>();
    RegisterComponentClass<TsRichEdit>();
}
