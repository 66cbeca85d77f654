#include "form_support.h"

#include "document/doc_state.h"
#include "platform/help.h"
#include "platform/resources.h"
#include "platform/system.h"

int32_t DisplayColours() {
    const int depth = rt::sys().colorDepth();
    if (depth == 4) return 16;
    if (depth == 8) return 256;
    return -1;
}

void OpenHelpTopic(const QString& Topic) {
    rt::help().showTopic(HelpFilePath, Topic);
}

rt::Picture HelpButtonPicture() {
    const int32_t colours = DisplayColours();
    return rt::LoadResPicture(colours == 16 || colours == 256 ? 223 : 373, rt::vbResBitmap);
}
