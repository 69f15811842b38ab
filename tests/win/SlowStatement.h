#pragma once

#include <string>

#include <windows.h>

#include "app/DBXMain_win.h"
#include "tests/win/TestSupport.h"

// A statement that counts for minutes unless cancelled, for the tests and benchmarks of work
// that must not freeze the window.
inline const std::u16string kSlowCount =
    u"with recursive c(x) as (select 1 union all select x + 1 from c where x < 3000000000) "
    u"select count(*) from c";

// Points the form at a fresh SQLite file in `scratch` and posts an Open of the slow statement,
// which starts once the form's message loop runs.
inline void PostSlowOpen(TMainForm& form, const ScratchDirectory& scratch) {
    form.ADOConnection.SetConnectionString(u"Provider=SQLite;Data Source=" +
                                           scratch.Path(L"test.db"));
    form.eSQL->SetText(kSlowCount);
    PostMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                 reinterpret_cast<LPARAM>(form.bOpen->Handle()));
}
