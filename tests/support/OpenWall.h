// The example projects with edits, opened in a form as the window opens them (through the
// boxes, limits and bounds, and analysed), for the suites that read what the window shows.
#pragma once

#include <functional>
#include <memory>

#include "engine/ProjectJson.h"
#include "engine/TWClasses.h"
#include "form/MainForm.h"
#include "support/TestWalls.h"

namespace tw::test {

struct TOpenForm
{
    std::unique_ptr<TTWData> project = std::make_unique<TTWData>();
    std::unique_ptr<form::TMainForm> form;
};

// The example project of the unit system with `edit` applied to the stored project, opened.
template <class TWall = TOpenForm>
TWall OpenWallAs(bool si, const std::function<void(TTWData&)>& edit = {})
{
    TWall wall;
    ProjectFromJson(ExampleProjectJson(si), *wall.project);
    if (edit)
        edit(*wall.project);
    wall.project->LoadCatalogues();
    wall.form = std::make_unique<form::TMainForm>(*wall.project);
    wall.form->AfterOpen();
    return wall;
}

} // namespace tw::test
