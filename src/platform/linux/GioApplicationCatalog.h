#pragma once
// The installed applications as GIO lists them (launchable and shown in
// menus), and the check of a .desktop file the user picked elsewhere, with
// the reason when it is not one that can be launched. Main thread only.

#include "platform/ApplicationCatalog.h"

namespace kestrune {

class GioApplicationCatalog final : public ApplicationCatalog {
public:
    QList<InstalledApplication> applications() override;
    ApplicationProblem check(const QString& path, InstalledApplication* app, QString* program) override;
};

} // namespace kestrune
