-- Adds 100,000 generated items (codes X000001..X100000) to the demo database, for measuring
-- the look-up window over a large table. Runs after schema.sql and data.sql; running it twice
-- adds nothing more.
WITH RECURSIVE
n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000),
product(p, name, unit) AS (VALUES
    (0, '電阻器', '個'), (1, '電容器', '個'), (2, '變壓器', '台'), (3, '繼電器', '個'),
    (4, '散熱片', '片'), (5, '連接器', '組'), (6, '電源線', '條'), (7, '控制板', '片'),
    (8, '螺絲', '包'), (9, '墊圈', '包'), (10, '彈簧', '個'), (11, '軸承', '個'),
    (12, '齒輪', '個'), (13, '外殼', '組'), (14, '面板', '片'), (15, '按鍵', '個'),
    (16, '指示燈', '個'), (17, '感測器', '個'), (18, '馬達', '台'), (19, '風扇', '台')),
variant(v, word) AS (VALUES
    (0, '高壓'), (1, '低噪音'), (2, '防水'), (3, '耐熱'), (4, '精密'), (5, '微型'),
    (6, '標準型'), (7, '強化'), (8, '鍍鋅'), (9, '不鏽鋼'), (10, '黑色'), (11, '白色'),
    (12, '透明'), (13, '加長型'), (14, '薄型'))
INSERT OR IGNORE INTO INVMB(MB001, MB002, MB003, MB004, MB005, MB006, MB007, MB008)
SELECT printf('X%06d', i), word || name || ' ' || printf('%d型', i % 997),
       printf('規格%d', i % 113), unit,
       substr('ABCDEF', (i % 6) + 1, 1), printf('%02d', (i % 5) + 1),
       'S' || (i % 3 + 1), 'G' || (i % 3 + 1)
FROM n JOIN product ON p = i % 20 JOIN variant ON v = (i / 20) % 15;
