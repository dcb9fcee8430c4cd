-- Demo ERP database: the tables that the work-center Manager (host process) and the
-- application server (its own process) read. SQLite. Version 1.
--
-- ERP tables keep the ERP's table codes and column codes (ADMMB.MB001, COPMA.MA009, ...),
-- because requests and look-up calls name them; the host kit's own tables have plain names.
-- Texts are Unicode (UTF-8); flags are the one-character texts 'Y' and 'N'.
--
-- Table names are part of the contract with the server: keep them stable.

PRAGMA foreign_keys = ON;

CREATE TABLE IF NOT EXISTS schema_version (
    version INTEGER NOT NULL
);

-- Companies (one ERP database serves several). data_source is the data-source code a host
-- passes in its identity; each company has one.
CREATE TABLE IF NOT EXISTS companies (
    company_code TEXT PRIMARY KEY,
    company_name TEXT NOT NULL,
    data_source  TEXT NOT NULL UNIQUE
);

-- Users. user_group '000000' is the super-user group (may save shared condition sets and
-- delete anybody's).
CREATE TABLE IF NOT EXISTS users (
    user_code    TEXT PRIMARY KEY,
    user_name    TEXT NOT NULL,
    user_group   TEXT NOT NULL,
    company_code TEXT NOT NULL REFERENCES companies(company_code),
    email        TEXT NOT NULL DEFAULT '',
    active       TEXT NOT NULL DEFAULT 'Y' CHECK (active IN ('Y', 'N'))
);

-- Rights of a user on a program. rights is a text of 'Y'/'N' flags, one per position:
--   1 query, 2 add, 3 modify, 4 delete, 5 print, 6 export,
--   7 first look-up switch (F2Flag1), 8 second look-up switch (F2Flag2).
-- The program code '*' holds a user's rights on every program without a row of its own.
-- The server's GetPower answers, as element 1, the comma-separated text
--   user_group,user_name,program_code,rights
-- (field 1 the group, field 4 the flags).
CREATE TABLE IF NOT EXISTS user_rights (
    user_code    TEXT NOT NULL REFERENCES users(user_code),
    program_code TEXT NOT NULL,
    rights       TEXT NOT NULL,
    PRIMARY KEY (user_code, program_code)
);

-- ADMMB: programs. MB001 program code (upper case, "KELT58"), MB002 display name,
-- MB003 module code (3 characters, the help file), MB004 kind ('R' report, 'T' transaction),
-- MB005 attribute (read by the dialog as element 4 of the program's row),
-- MB006 library file name.
CREATE TABLE IF NOT EXISTS ADMMB (
    MB001 TEXT PRIMARY KEY,
    MB002 TEXT NOT NULL,
    MB003 TEXT NOT NULL,
    MB004 TEXT NOT NULL DEFAULT 'R',
    MB005 TEXT NOT NULL DEFAULT '',
    MB006 TEXT NOT NULL DEFAULT ''
);

-- INVMA: item categories. MA001 classification number ('1'..'4', the position of the
-- classification among the settings Sys007..Sys010), MA002 category code, MA003 name.
CREATE TABLE IF NOT EXISTS INVMA (
    MA001 TEXT NOT NULL,
    MA002 TEXT NOT NULL,
    MA003 TEXT NOT NULL,
    PRIMARY KEY (MA001, MA002)
);

-- INVMB: items. MB001 item code, MB002 name, MB003 model and size, MB004 unit,
-- MB005..MB008 category codes of the classifications 1..4.
CREATE TABLE IF NOT EXISTS INVMB (
    MB001 TEXT PRIMARY KEY,
    MB002 TEXT NOT NULL,
    MB003 TEXT NOT NULL DEFAULT '',
    MB004 TEXT NOT NULL DEFAULT '',
    MB005 TEXT NOT NULL DEFAULT '',
    MB006 TEXT NOT NULL DEFAULT '',
    MB007 TEXT NOT NULL DEFAULT '',
    MB008 TEXT NOT NULL DEFAULT ''
);

-- COPMA: customers. MA001 customer code, MA002 short name, MA003 full name, MA004 contact,
-- MA005 telephone, MA006 address, MA009 e-mail address (the server mails reports there).
CREATE TABLE IF NOT EXISTS COPMA (
    MA001 TEXT PRIMARY KEY,
    MA002 TEXT NOT NULL,
    MA003 TEXT NOT NULL,
    MA004 TEXT NOT NULL DEFAULT '',
    MA005 TEXT NOT NULL DEFAULT '',
    MA006 TEXT NOT NULL DEFAULT '',
    MA009 TEXT NOT NULL DEFAULT ''
);

-- CMSMS: note and sign-off templates. MS001 kind ('1' note, '2' sign-off), MS002 code,
-- MS003 name, MS004..MS006 the three lines.
CREATE TABLE IF NOT EXISTS CMSMS (
    MS001 TEXT NOT NULL CHECK (MS001 IN ('1', '2')),
    MS002 TEXT NOT NULL,
    MS003 TEXT NOT NULL,
    MS004 TEXT NOT NULL DEFAULT '',
    MS005 TEXT NOT NULL DEFAULT '',
    MS006 TEXT NOT NULL DEFAULT '',
    PRIMARY KEY (MS001, MS002)
);

-- CMSMT: report settings per program. MT001 program code; MT002 note code, MT003 note code
-- may be changed, MT004 note name, MT005..MT007 note lines; MT008 sign-off code, MT009 may be
-- changed, MT010 sign-off name, MT011..MT013 sign-off lines; MT014 note on every page,
-- MT015 sign-off on every page, MT016 print the conditions, MT017 print the report maker.
CREATE TABLE IF NOT EXISTS CMSMT (
    MT001 TEXT PRIMARY KEY,
    MT002 TEXT NOT NULL DEFAULT '',
    MT003 TEXT NOT NULL DEFAULT 'Y',
    MT004 TEXT NOT NULL DEFAULT '',
    MT005 TEXT NOT NULL DEFAULT '',
    MT006 TEXT NOT NULL DEFAULT '',
    MT007 TEXT NOT NULL DEFAULT '',
    MT008 TEXT NOT NULL DEFAULT '',
    MT009 TEXT NOT NULL DEFAULT 'Y',
    MT010 TEXT NOT NULL DEFAULT '',
    MT011 TEXT NOT NULL DEFAULT '',
    MT012 TEXT NOT NULL DEFAULT '',
    MT013 TEXT NOT NULL DEFAULT '',
    MT014 TEXT NOT NULL DEFAULT 'N',
    MT015 TEXT NOT NULL DEFAULT 'N',
    MT016 TEXT NOT NULL DEFAULT 'Y',
    MT017 TEXT NOT NULL DEFAULT 'Y'
);

-- Message table: templates with "%s" placeholders, by type letter and six-digit id.
CREATE TABLE IF NOT EXISTS messages (
    msg_type TEXT NOT NULL,
    msg_id   TEXT NOT NULL,
    text     TEXT NOT NULL,
    PRIMARY KEY (msg_type, msg_id)
);

-- Environment settings per company ("Sys001" date layout, "Sys002" date separator,
-- "NUV002" caption tag, "Sys007".."Sys010" item classifications, ...).
CREATE TABLE IF NOT EXISTS settings (
    company_code TEXT NOT NULL REFERENCES companies(company_code),
    name         TEXT NOT NULL,
    value        TEXT NOT NULL,
    PRIMARY KEY (company_code, name)
);

-- Phrases a user picks in the phrase window; user_code '*' holds phrases for everybody.
CREATE TABLE IF NOT EXISTS phrases (
    user_code TEXT NOT NULL,
    phrase_no INTEGER NOT NULL,
    phrase    TEXT NOT NULL,
    PRIMARY KEY (user_code, phrase_no)
);

-- Counters per company and name: value is the last number handed out.
CREATE TABLE IF NOT EXISTS counters (
    company_code TEXT NOT NULL,
    name         TEXT NOT NULL,
    value        INTEGER NOT NULL DEFAULT 0,
    PRIMARY KEY (company_code, name)
);

-- Help topics per module code (3 characters) and topic.
CREATE TABLE IF NOT EXISTS help_topics (
    module_code TEXT NOT NULL,
    topic       TEXT NOT NULL,
    title       TEXT NOT NULL,
    body        TEXT NOT NULL,
    PRIMARY KEY (module_code, topic)
);

-- User-defined condition sets of a program. lines holds the stored set (an array of
-- [component name, value, panel style, range active]) as CBOR.
CREATE TABLE IF NOT EXISTS condition_sets (
    company_code TEXT NOT NULL,
    program_code TEXT NOT NULL,
    owner        TEXT NOT NULL,
    set_code     TEXT NOT NULL,
    set_name     TEXT NOT NULL,
    shared       TEXT NOT NULL DEFAULT 'N' CHECK (shared IN ('Y', 'N')),
    lines        BLOB NOT NULL,
    PRIMARY KEY (company_code, program_code, owner, set_code)
);

CREATE INDEX IF NOT EXISTS INVMB_name ON INVMB(MB002);
CREATE INDEX IF NOT EXISTS COPMA_name ON COPMA(MA002);
