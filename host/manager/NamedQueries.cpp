#include "NamedQueries.h"

#include <strings.h>

namespace nuv::host {

const std::vector<TNamedQuery>& NamedQueries() {
    // An empty text in a list filter means "all rows".
    static const std::vector<TNamedQuery> queries{
        {"ADMMB",
         "01",
         "程式資料查詢",
         "SELECT MB002, MB001, MB003, MB004, MB005, MB006 FROM ADMMB WHERE MB001 = ?1",
         1,
         "SELECT MB001, MB002, MB003, MB004 FROM ADMMB WHERE ?1 = '' OR MB001 = ?1 "
         "ORDER BY MB001",
         1,
         {"程式代號", "程式名稱", "模組", "類別"}},
        {"INVMA",
         "01",
         "品號類別查詢",
         "SELECT MA002, MA003, MA001 FROM INVMA WHERE MA002 = ?1 ORDER BY MA001 LIMIT 1",
         1,
         "SELECT MA002, MA003, MA001 FROM INVMA WHERE ?1 = '' OR MA002 = ?1 "
         "ORDER BY MA001, MA002",
         1,
         {"類別代號", "類別名稱", "分類方式"}},
        {"INVMA",
         "02",
         "品號類別查詢",
         "SELECT MA002, MA003, MA001 FROM INVMA WHERE MA001 = ?1 AND MA002 = ?2",
         2,
         "SELECT MA002, MA003 FROM INVMA WHERE MA001 = ?1 ORDER BY MA002",
         1,
         {"類別代號", "類別名稱"}},
        {"INVMB",
         "01",
         "品號資料查詢",
         "SELECT MB001, MB002, MB003, MB004, MB005, MB006, MB007, MB008 FROM INVMB "
         "WHERE MB001 = ?1",
         1,
         "SELECT MB001, MB002, MB003, MB004 FROM INVMB WHERE ?1 = '' OR MB001 = ?1 "
         "ORDER BY MB001",
         1,
         {"品號", "品名", "規格", "單位"}},
        {"COPMA",
         "01",
         "客戶資料查詢",
         "SELECT MA001, MA002, MA003, MA004, MA005, MA006, MA009 FROM COPMA WHERE MA001 = ?1",
         1,
         "SELECT MA001, MA002, MA003, MA004, MA005 FROM COPMA WHERE ?1 = '' OR MA001 = ?1 "
         "ORDER BY MA001",
         1,
         {"客戶代號", "客戶簡稱", "客戶全名", "聯絡人", "電話"}},
        // Report settings of a program: note code, may change, name, three lines; sign-off
        // code, may change, name, three lines; three reserved columns; note and sign-off on
        // every page, print the conditions, print the report maker.
        {"CMSMT",
         "01",
         "報表設定查詢",
         "SELECT MT002, MT003, MT004, MT005, MT006, MT007, MT008, MT009, MT010, MT011, MT012, "
         "MT013, MT001, '', '', MT014, MT015, MT016, MT017 FROM CMSMT WHERE MT001 = ?1",
         1,
         "SELECT MT001, MT002, MT008 FROM CMSMT WHERE ?1 = '' OR MT001 = ?1 ORDER BY MT001",
         1,
         {"程式代號", "備註代號", "簽核代號"}},
        // Notes (kind "1") and sign-offs (kind "2").
        {"CMSMS",
         "01",
         "備註簽核查詢",
         "SELECT MS002, MS004, MS005, MS006, MS003 FROM CMSMS WHERE MS001 = ?1 AND MS002 = ?2",
         2,
         "SELECT MS002, MS003, MS004, MS005, MS006 FROM CMSMS WHERE MS001 = ?1 ORDER BY MS002",
         1,
         {"代號", "名稱", "第一行", "第二行", "第三行"}},
    };
    return queries;
}

const TNamedQuery* FindNamedQuery(const std::string& table, const std::string& key) {
    for (const TNamedQuery& q : NamedQueries())
        if (strcasecmp(q.table, table.c_str()) == 0 && strcasecmp(q.key, key.c_str()) == 0)
            return &q;
    return nullptr;
}

} // namespace nuv::host
