#include "app/ConnectionStrings.h"

#include <utility>

#include "data/ConnectionString.h"

std::u16string BuildConnectionString(int kindIndex, std::u16string_view server,
                                     std::u16string_view database, std::u16string_view user,
                                     std::u16string_view password) {
    switch (kindIndex) {
    case dkOracle:
        return u"Provider=OraOLEDB.Oracle.1;Password=" + ConnectionStringValue(password) +
               u";Persist Security Info=True;User ID=" + ConnectionStringValue(user) +
               u";Data Source=" + ConnectionStringValue(database);
    case dkSQLite:
        return u"Provider=SQLite;Data Source=" + ConnectionStringValue(database);
    case dkOdbc: {
        bool connectionString = server.find(u'=') != std::u16string_view::npos;
        std::u16string text =
            u"Provider=MSDASQL;" +
            std::u16string(connectionString ? u"Extended Properties=" : u"Data Source=") +
            ConnectionStringValue(server);
        for (auto [key, value] : {std::pair{u"Initial Catalog", database},
                                  std::pair{u"User ID", user}, std::pair{u"Password", password}})
            if (!value.empty())
                text += u";" + std::u16string(key) + u"=" + ConnectionStringValue(value);
        return text;
    }
    default:
        return u"Provider=SQLOLEDB.1;Persist Security Info=False;User ID=" +
               ConnectionStringValue(user) + u";password=" + ConnectionStringValue(password) +
               u";Initial Catalog=" + ConnectionStringValue(database) + u";Data Source=" +
               ConnectionStringValue(server) +
               u";Auto Tranlate=False;Use Procedure for Prepare=1;Packet Size=4096;"
               u"Use Encryption for Data=False";
    }
}
