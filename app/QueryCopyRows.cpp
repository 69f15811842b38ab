#include "app/CopyText.h"

#include "data/ADOConnection.h"
#include "data/ADOQuery.h"

void QueryCopyRows::SuspendDisplay() {
    query_.DisableControls();
}

void QueryCopyRows::ResumeDisplay() {
    query_.EnableControls();
}

void QueryCopyRows::First() {
    query_.First();
}

bool QueryCopyRows::Eof() {
    return query_.Eof();
}

void QueryCopyRows::Next() {
    query_.Next();
}

int QueryCopyRows::FieldCount() {
    return query_.FieldCount();
}

std::u16string_view QueryCopyRows::FieldText(int index, std::u16string& scratch) {
    return query_.Fields(index).AsStringView(scratch);
}

void QueryCopyRows::Breathe() {
    if (TADOConnection* connection = query_.Connection())
        connection->Work().Breathe();
}
