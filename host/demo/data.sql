-- Demo ERP data: two companies, their users and rights, programs, item categories, a few
-- hundred items and customers, notes and sign-offs, messages, settings, phrases and help.
-- Every insert leaves rows that are already there alone, so the script can run again over a
-- database in use (condition sets and counters that users made stay).

INSERT OR IGNORE INTO schema_version(rowid, version) VALUES (1, 1);

INSERT OR IGNORE INTO companies(company_code, company_name, data_source) VALUES
    ('NUV01', '新宇電子股份有限公司', 'DEMO'),
    ('NUV02', '宏昌貿易有限公司', 'DEMO2');

INSERT OR IGNORE INTO users(user_code, user_name, user_group, company_code, email) VALUES
    ('DS',    '陳大順', '000000', 'NUV01', 'ds@nuv-demo.example'),
    ('MARY',  '林美麗', 'SALES1', 'NUV01', 'mary@nuv-demo.example'),
    ('JOHN',  '王志明', 'SALES1', 'NUV01', 'john@nuv-demo.example'),
    ('KEVIN', '張凱文', 'STORE1', 'NUV02', 'kevin@nuv-demo.example');
INSERT OR IGNORE INTO users(user_code, user_name, user_group, company_code, active) VALUES
    ('OLD',   '李舊員', 'SALES1', 'NUV01', 'N');

INSERT OR IGNORE INTO user_rights(user_code, program_code, rights) VALUES
    ('DS',    '*',      'YYYYYYYY'),
    ('MARY',  'KELT58', 'YYYYYYYY'),
    ('JOHN',  'KELT58', 'YNNNYYNN'),
    ('KEVIN', '*',      'YNNNYNYN');

INSERT OR IGNORE INTO ADMMB(MB001, MB002, MB003, MB004, MB005, MB006) VALUES
    ('KELT58', '客戶別品號出貨排程表', 'KEL', 'R', '1', 'Kelt58C.so'),
    ('KELT12', '客戶交易彙總表',       'KEL', 'R', '1', 'Kelt12C.so'),
    ('INVR01', '品號庫存明細表',       'INV', 'R', '1', 'Invr01C.so'),
    ('COPI01', '訂單建立作業',         'COP', 'T', '0', 'Copi01C.so');

-- Classifications 1..4 follow the settings Sys007..Sys010.
INSERT OR IGNORE INTO INVMA(MA001, MA002, MA003) VALUES
    ('1', 'A', '原料'), ('1', 'B', '半成品'), ('1', 'C', '成品'),
    ('1', 'D', '包裝材料'), ('1', 'E', '零組件'), ('1', 'F', '耗材'),
    ('2', '01', '電子元件'), ('2', '02', '機構件'), ('2', '03', '線材'),
    ('2', '04', '塑膠件'), ('2', '05', '五金配件'),
    ('3', 'S1', '家用系列'), ('3', 'S2', '商用系列'), ('3', 'S3', '工業系列'),
    ('4', 'G1', '內銷商品'), ('4', 'G2', '外銷商品'), ('4', 'G3', '代工產品');

-- 300 items: 20 products in 15 variants.
WITH product(p, name, unit, spec) AS (VALUES
    (1, '電阻器', '個', '1/4W'), (2, '電容器', '個', '100μF'), (3, '變壓器', '台', '110V/12V'),
    (4, '繼電器', '個', 'DC24V'), (5, '散熱片', '片', '40×40mm'), (6, '連接器', '組', '20Pin'),
    (7, '電源線', '條', '1.8公尺'), (8, '控制板', '片', 'V2.1'), (9, '螺絲', '包', 'M3×8'),
    (10, '墊圈', '包', 'M4'), (11, '彈簧', '個', '線徑0.8'), (12, '軸承', '個', '608ZZ'),
    (13, '齒輪', '個', '模數1'), (14, '外殼', '組', 'ABS'), (15, '面板', '片', '鋁合金'),
    (16, '按鍵', '個', '12×12'), (17, '指示燈', '個', 'LED'), (18, '感測器', '個', '溫濕度'),
    (19, '馬達', '台', '直流'), (20, '風扇', '台', '80mm')),
variant(v, word) AS (VALUES
    (1, '高壓'), (2, '低噪音'), (3, '防水'), (4, '耐熱'), (5, '精密'), (6, '微型'),
    (7, '標準型'), (8, '強化'), (9, '鍍鋅'), (10, '不鏽鋼'), (11, '黑色'), (12, '白色'),
    (13, '透明'), (14, '加長型'), (15, '薄型'))
INSERT OR IGNORE INTO INVMB(MB001, MB002, MB003, MB004, MB005, MB006, MB007, MB008)
SELECT printf('%s%02d-%03d', substr('ABCDEF', (p % 6) + 1, 1), p, v * 7),
       word || name, spec, unit,
       substr('ABCDEF', (p % 6) + 1, 1),
       printf('%02d', (p % 5) + 1),
       'S' || ((p + v) % 3 + 1),
       'G' || ((v % 3) + 1)
FROM product CROSS JOIN variant;

-- 200 customers: 20 places and 10 trade names.
WITH place(pl, name, road, area) AS (VALUES
    (1, '台北', '台北市中山區南京東路', '02'), (2, '新北', '新北市板橋區文化路', '02'),
    (3, '桃園', '桃園市中壢區中正路', '03'), (4, '新竹', '新竹市東區光復路', '03'),
    (5, '台中', '台中市西屯區台灣大道', '04'), (6, '彰化', '彰化縣彰化市中山路', '04'),
    (7, '嘉義', '嘉義市西區民族路', '05'), (8, '台南', '台南市東區長榮路', '06'),
    (9, '高雄', '高雄市苓雅區四維路', '07'), (10, '屏東', '屏東縣屏東市自由路', '08'),
    (11, '宜蘭', '宜蘭縣宜蘭市神農路', '03'), (12, '花蓮', '花蓮縣花蓮市中華路', '03'),
    (13, '基隆', '基隆市仁愛區愛一路', '02'), (14, '苗栗', '苗栗縣苗栗市為公路', '037'),
    (15, '南投', '南投縣南投市復興路', '049'), (16, '雲林', '雲林縣斗六市大學路', '05'),
    (17, '台東', '台東縣台東市更生路', '089'), (18, '澎湖', '澎湖縣馬公市光復路', '06'),
    (19, '金門', '金門縣金城鎮民生路', '082'), (20, '竹北', '新竹縣竹北市光明六路', '03')),
trade(t, name, suffix, person) AS (VALUES
    (1, '興業', '股份有限公司', '黃'), (2, '宏達', '有限公司', '吳'),
    (3, '永豐', '實業股份有限公司', '劉'), (4, '大同', '企業社', '蔡'),
    (5, '建華', '電機有限公司', '楊'), (6, '聯成', '科技股份有限公司', '許'),
    (7, '富山', '貿易有限公司', '鄭'), (8, '信義', '五金行', '謝'),
    (9, '長榮', '工業股份有限公司', '郭'), (10, '順發', '電器行', '洪'))
INSERT OR IGNORE INTO COPMA(MA001, MA002, MA003, MA004, MA005, MA006, MA009)
SELECT printf('C%04d', (pl - 1) * 10 + t),
       place.name || trade.name,
       place.name || trade.name || trade.suffix,
       person || substr('志明淑芬建國美玲家豪雅婷', ((pl + t) % 6) * 2 + 1, 2),
       printf('(%s)%04d-%04d', area, 2000 + pl * 37 + t, 1000 + t * 613 % 9000),
       road || ((pl * 13 + t * 7) % 300 + 1) || '號',
       printf('c%04d@customer.example', (pl - 1) * 10 + t)
FROM place CROSS JOIN trade;

INSERT OR IGNORE INTO CMSMS(MS001, MS002, MS003, MS004, MS005, MS006) VALUES
    ('1', 'N01', '一般備註', '本報表僅供內部參考', '資料截止至列印日', ''),
    ('1', 'N02', '機密備註', '機密文件，請勿外流', '閱後請妥善保管', '如有疑問請洽資訊課'),
    ('1', 'N03', '出貨備註', '出貨日期以排程為準', '實際出貨請以出貨單為憑', ''),
    ('2', 'S01', '三層簽核', '製表：', '覆核：', '核准：'),
    ('2', 'S02', '兩層簽核', '經辦：', '主管：', ''),
    ('2', 'S03', '業務簽核', '業務員：', '業務主管：', '總經理：');

INSERT OR IGNORE INTO CMSMT(MT001, MT002, MT003, MT004, MT005, MT006, MT007,
                            MT008, MT009, MT010, MT011, MT012, MT013,
                            MT014, MT015, MT016, MT017) VALUES
    ('KELT58', 'N01', 'Y', '一般備註', '本報表僅供內部參考', '資料截止至列印日', '',
     'S01', 'Y', '三層簽核', '製表：', '覆核：', '核准：',
     'N', 'Y', 'Y', 'Y'),
    ('KELT12', 'N02', 'N', '機密備註', '機密文件，請勿外流', '閱後請妥善保管', '如有疑問請洽資訊課',
     'S02', 'N', '兩層簽核', '經辦：', '主管：', '',
     'Y', 'Y', 'N', 'Y');

-- Settings. Sys001 is the date layout: 1 yyyy/mm/dd, 2 mm/dd/yyyy, 3 dd/mm/yyyy,
-- 4 yy/mm/dd and 5 yyy/mm/dd (Republic of China years); Sys002 the date separator.
INSERT OR IGNORE INTO settings(company_code, name, value) VALUES
    ('NUV01', 'Sys001', '1'), ('NUV01', 'Sys002', '/'), ('NUV01', 'NUV002', '新宇電子'),
    ('NUV01', 'Sys003', 'NTD'), ('NUV01', 'Sys004', '2'),
    ('NUV01', 'Sys007', '依品號大類'), ('NUV01', 'Sys008', '依品號中類'),
    ('NUV01', 'Sys009', '依產品系列'), ('NUV01', 'Sys010', '依商品群組'),
    ('NUV02', 'Sys001', '5'), ('NUV02', 'Sys002', '.'), ('NUV02', 'NUV002', '宏昌貿易'),
    ('NUV02', 'Sys003', 'NTD'), ('NUV02', 'Sys004', '0'),
    ('NUV02', 'Sys007', ''), ('NUV02', 'Sys008', '依品號中類'),
    ('NUV02', 'Sys009', ''), ('NUV02', 'Sys010', '依商品群組');

INSERT OR IGNORE INTO phrases(user_code, phrase_no, phrase) VALUES
    ('*', 1, 'sales@nuv-demo.example'),
    ('*', 2, 'report@nuv-demo.example;manager@nuv-demo.example'),
    ('DS', 1, 'ds@nuv-demo.example'),
    ('DS', 2, '請於本週五前回覆出貨數量'),
    ('DS', 3, '財務部；業務部；資材部'),
    ('MARY', 1, 'mary@nuv-demo.example'),
    ('MARY', 2, '客戶急單，請優先處理'),
    ('JOHN', 1, 'john@nuv-demo.example');

INSERT OR IGNORE INTO counters(company_code, name, value) VALUES
    ('NUV01', 'REPORTNO', 0);

INSERT OR IGNORE INTO help_topics(module_code, topic, title, body) VALUES
    ('KEL', '0', '報表作業說明',
     '在本畫面輸入報表的選擇條件，按[確定]後報表請求會送到應用程式伺服器排入工作佇列。' || char(10) ||
     '按 F2 可開啟欄位的查詢視窗，按 F1 可查看本說明。'),
    ('KEL', 'KELT58', '客戶別品號出貨排程表',
     '依品號類別、品號與客戶選擇要列印的資料。' || char(10) ||
     '排程起始日期不可早於今天；選擇「Email To 自訂對象」時須輸入收件人地址。' || char(10) ||
     '可將目前的條件儲存為使用者自訂條件，下次直接載入。'),
    ('KEL', 'KELT12', '客戶交易彙總表', '依客戶彙總期間內的交易金額。'),
    ('INV', '12010000', '品號庫存明細表',
     '列出各品號在各庫別的庫存數量與金額。' || char(10) ||
     '可依品號類別與庫別選擇範圍；數量為零的品號預設不列印。');

-- Message table. Types: C, D, W warnings; E errors; I information; Q questions;
-- R texts used inside other messages.
INSERT OR IGNORE INTO messages(msg_type, msg_id, text) VALUES
    ('W', '000002', '%s的元素個數不符：應為 %s 個，實際上限為 %s。'),
    ('W', '000003', '%s尚未設定：共 %s 個元素，第 %s 個沒有值。'),
    ('W', '000004', '查無此%s，請重新輸入或按 F2 查詢。'),
    ('W', '000014', '無法依名稱設定欄位值：%s'),
    ('I', '000003', '本報表沒有任何條件或環境設定可送出。%s'),
    ('I', '000004', '報表請求已送出：%s'),
    ('I', '000005', '至少要選擇一種輸出方式！%s'),
    ('I', '000009', '排程日期時間不正確，'),
    ('I', '000010', '請檢查日期與時、分、秒欄位。'),
    ('I', '000011', '選擇條件文字'),
    ('E', '000005', '日期資料不正確，請重新輸入！%s'),
    ('E', '000006', '無法連線到應用程式伺服器，請檢查連線設定。'),
    ('E', '000013', '伺服器拒絕報表請求：%s'),
    ('E', '000015', '找不到系統登錄機碼 Software\NUV\Tarvel，請重新安裝用戶端。'),
    ('E', '000016', '用戶端設定檔未指定應用程式伺服器。'),
    ('E', '000030', '無法組成報表條件：%s'),
    ('E', '000036', '此畫面不屬於目前執行的程式。'),
    ('E', '000037', '此欄位為必要輸入欄位，不可空白！'),
    ('E', '000038', '主程式傳入的初始參數不足，將不使用主程式選項。'),
    ('E', '100062', '排程起始日期不可早於今天！'),
    ('E', '100082', '%s的結束日期不可早於%s的開始日期！'),
    ('R', '100235', '備註代號'),
    ('R', '100236', '簽核代號');
