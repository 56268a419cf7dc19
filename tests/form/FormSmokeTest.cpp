#include <gtest/gtest.h>

#include "form/MainForm.h"

using namespace tw;
using namespace tw::form;

TEST(FormSmoke, NewProjectShowsAndRecalculates)
{
    TTWData project;
    project.NewProject(true);
    TMainForm form(project);
    const TCommitResult r = form.AfterNew();
    EXPECT_TRUE(r.ok()) << r.error.value_or("");
}
