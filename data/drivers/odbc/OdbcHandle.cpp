#include "data/drivers/odbc/OdbcHandle.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/Exception.h"
#include "base/Text.h"

namespace {

std::u16string Diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
    std::vector<std::u16string> messages;
    std::u16string message;
    for (SQLSMALLINT record = 1; record < 1000; ++record) {
        SQLWCHAR state[6];
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        message.assign(512, u'\0');
        SQLRETURN rc = SQLGetDiagRecW(type, handle, record, state, &native, Wide(message.data()),
                                      SQLSMALLINT(message.size()), &length);
        if (rc == SQL_SUCCESS_WITH_INFO && length >= SQLSMALLINT(message.size())) {
            message.assign(std::size_t(length) + 1, u'\0');
            rc = SQLGetDiagRecW(type, handle, record, state, &native, Wide(message.data()),
                                SQLSMALLINT(message.size()), &length);
        }
        if (!SQL_SUCCEEDED(rc))
            break;
        message.resize(std::min<std::size_t>(std::max<SQLSMALLINT>(length, 0), message.size()));
        while (!message.empty() && message.back() == u'\0')
            message.pop_back();
        // Some drivers (FreeTDS) repeat a record word for word; once says it.
        if (!message.empty() &&
            std::find(messages.begin(), messages.end(), message) == messages.end())
            messages.push_back(message);
    }
    std::u16string text;
    for (const auto& line : messages) {
        if (!text.empty())
            text += u"\r\n";
        text += line;
    }
    return text;
}

} // namespace

void RaiseDiagnostics(SQLSMALLINT type, SQLHANDLE handle, SQLRETURN rc, const char16_t* call) {
    std::u16string text = handle ? Diagnostics(type, handle) : std::u16string();
    if (text.empty())
        text = u"ODBC " + std::u16string(call) + u" failed (return code " + IntToStr(rc) +
               u") without a diagnostic message";
    throw Exception(std::move(text));
}

OdbcHandle::OdbcHandle(SQLSMALLINT type, SQLHANDLE parent, SQLSMALLINT parentType) : type_(type) {
    SQLRETURN rc = SQLAllocHandle(type, parent, &handle_);
    if (!SQL_SUCCEEDED(rc)) {
        handle_ = nullptr;
        RaiseDiagnostics(parentType, parent, rc, u"SQLAllocHandle");
    }
}

OdbcHandle::OdbcHandle(OdbcHandle&& other) noexcept
    : type_(other.type_), handle_(std::exchange(other.handle_, nullptr)) {}

OdbcHandle& OdbcHandle::operator=(OdbcHandle&& other) noexcept {
    std::swap(type_, other.type_);
    std::swap(handle_, other.handle_);
    return *this;
}

OdbcHandle::~OdbcHandle() {
    if (handle_)
        SQLFreeHandle(type_, handle_);
}

void OdbcHandle::Raise(SQLRETURN rc, const char16_t* call) const {
    RaiseDiagnostics(type_, handle_, rc, call);
}

std::u16string OdbcHandle::State() const {
    SQLWCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetDiagRecW(type_, handle_, 1, state, &native, nullptr, 0, &length)))
        return {};
    return std::u16string(reinterpret_cast<const char16_t*>(state), 5);
}

OdbcHandle OdbcEnvironment() {
    OdbcHandle env(SQL_HANDLE_ENV, nullptr, 0);
    env.Check(SQLSetEnvAttr(env.Get(), SQL_ATTR_ODBC_VERSION,
                            reinterpret_cast<SQLPOINTER>(std::intptr_t(SQL_OV_ODBC3)), 0),
              u"SQLSetEnvAttr");
    return env;
}

OdbcHandle OdbcStatement(const OdbcHandle& dbc) {
    return OdbcHandle(SQL_HANDLE_STMT, dbc.Get(), SQL_HANDLE_DBC);
}
