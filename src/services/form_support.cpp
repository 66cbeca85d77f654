#include "form_support.h"

#include "core/resources.h"
#include "core/system.h"
#include "main_window.h"
#include "platform/ui_toolbar.h"

int32_t DisplayColours() {
    const int depth = rt::sys().colorDepth();
    if (depth == 4) return 16;
    if (depth == 8) return 256;
    return -1;
}

std::optional<rt::Picture> ToolbarHelpIcon(bool Disabled) {
    const auto& images = mainWindow().ToolbarImages(Disabled).ListImages();
    if (!images.contains(QStringLiteral("Help"))) return std::nullopt;
    return images(QStringLiteral("Help")).ExtractIcon();
}

rt::Picture HelpButtonPicture() {
    if (const auto icon = ToolbarHelpIcon(false)) return *icon;
    const int32_t colours = DisplayColours();
    return rt::LoadResPicture(colours == 16 || colours == 256 ? 223 : 373, rt::vbResBitmap);
}
