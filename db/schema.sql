-- Zomi: database structure, for MariaDB 10.11 (invisible generated columns
-- and CHECK constraints need MariaDB 10.3 or later).
--
-- This file is ISO-8859-2 (latin2) encoded and must be fed to the client with
-- --default-character-set=latin2; the SET NAMES below makes that explicit.
-- Load it into an empty database created with
--   CHARACTER SET latin2 COLLATE latin2_hungarian_ci.
-- The server's own default character set need not be latin2, so every table
-- names its character set and collation itself.
--
-- The program never changes this structure; it only reads and writes rows.
-- A dump meant to restore everything needs the routines too
-- (mysqldump --routines); without them the tables and views still restore.
--
-- Rules implemented here (keep the comments at the objects in step):
--
--  * Statuses 1..6 have fixed roles (their names may be renamed freely):
--      1 Rögzítve       new work order, open          row colour 2 (light blue)
--      2 Folyamatban    work in progress, open        row colour 3 (light pink)
--      3 Elkészült      done                          row colour 4 (light green)
--      4 Határidõn túl  overdue (kept by the server)  row colour 5 (light red)
--      5 Számlázva      invoiced                      row colour 6 (light yellow)
--      6 Sztornózva     cancelled                     row colour 7 (light grey)
--    Any other status key (a status a user added later, NULL, a key without
--    a row) gets colour 0, the normal window colour.
--
--  * vw_zomi.szin: an open work order (status 1 or 2) whose deadline
--    (hatar_datum) is before the server's current date is painted as overdue
--    (5) at once, even before sp_setstatusz has run; otherwise the colour of
--    its status as listed above.
--
--  * sp_setstatusz(): open work orders (status 1 or 2) whose deadline is
--    before CURDATE() move to status 4; work orders in status 4 whose deadline
--    is today or later, or was cleared, move back to status 1. A move is only
--    made when the target status row exists. Running it again changes nothing.
--
--  * fn_sorszamstr(sorszam, ev): "YYYY/NNNNN", the year in four digits and the
--    serial in five, both zero-padded: 2026/00042. Ordering this text is thus
--    chronological across years and numeric within a year (up to 99999 work
--    orders a year). A NULL year shows as "----", a NULL serial as "-----";
--    dashes sort before digits, so undated work orders come first. Values out
--    of those ranges are written in plain decimal (the order is then no longer
--    numeric) and the result is cut to 15 characters.
--
--  * The serial number is unique within the calendar year of datum: the
--    invisible stored column zomi.ev = YEAR(datum) carries UNIQUE(ev, sorszam).
--    Two editors opened at the same time both take MAX(sorszam)+1; the second
--    insert is refused with a duplicate-key error (1062, key ev_sorszam) and
--    the editor retries with the next number. Work orders without a date or
--    without a serial number (a NULL in the key) are not constrained.

SET NAMES latin2 COLLATE latin2_hungarian_ci;

-- ---------------------------------------------------------------------------
-- Work orders.
-- No foreign keys: a work order must keep listing when its contractor, site,
-- signatory or status row has been deleted, and the placeholder rows -1 must
-- stay possible. The views use outer joins for the same reason.
CREATE TABLE zomi (
  zomi         INT          NOT NULL AUTO_INCREMENT,
  datum        DATE         NULL,
  ido          TIME         NULL,
  sorszam      INT          NULL,
  vallalkozo   INT          NULL,
  ktgh         INT          NULL,
  kiad_datum   DATE         NULL,
  hatar_datum  DATE         NULL,
  alairas      INT          NULL,
  munka        VARCHAR(255) NULL,
  munkadij1    DOUBLE       NULL,
  munkadij2    DOUBLE       NULL,
  munkadij3    DOUBLE       NULL,
  munkadij4    DOUBLE       NULL,
  kiszdij1     DOUBLE       NULL,
  kiszdij2     DOUBLE       NULL,
  kiszdij3     DOUBLE       NULL,
  kiszdij4     DOUBLE       NULL,
  anyag3       DOUBLE       NULL,
  anyag4       DOUBLE       NULL,
  ossz         DOUBLE       NULL,
  statusz      INT          NULL DEFAULT 1,
  afas         VARCHAR(1)   NULL,
  -- Derived columns. INVISIBLE keeps them out of SELECT * (the editor's
  -- table access, the backup script), so nobody tries to write them.
  -- Year of the serial number, for the uniqueness guard.
  ev           SMALLINT     GENERATED ALWAYS AS (YEAR(datum)) STORED INVISIBLE,
  -- The display number, the same text fn_sorszamstr(sorszam, YEAR(datum))
  -- gives (keep the two in step). vw_zomi reads it from here because a stored
  -- function call per row costs more than the rest of the list query, and a
  -- column compares under its own collation with search texts of any session.
  sorszamstr   VARCHAR(15)  CHARACTER SET latin2 COLLATE latin2_hungarian_ci
               GENERATED ALWAYS AS (LEFT(CONCAT(
                 CASE WHEN datum IS NULL THEN '----'
                      ELSE LPAD(YEAR(datum), 4, '0') END,
                 '/',
                 CASE WHEN sorszam IS NULL THEN '-----'
                      WHEN sorszam BETWEEN 0 AND 99999 THEN LPAD(sorszam, 5, '0')
                      ELSE sorszam END),
               15)) VIRTUAL INVISIBLE,
  PRIMARY KEY (zomi),
  UNIQUE KEY ev_sorszam (ev, sorszam),
  -- Year tabs and MAX(sorszam) of a year are answered from this index alone.
  KEY datum (datum, sorszam),
  -- sp_setstatusz touches only the open and overdue rows through this one;
  -- with ossz it also answers vw_ossz without reading the rows.
  KEY statusz_hatar (statusz, hatar_datum, ossz),
  KEY vallalkozo (vallalkozo),
  KEY ktgh (ktgh),
  KEY alairas (alairas)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- ---------------------------------------------------------------------------
-- Contractors. Row -1 is a placeholder that the lists never show.
CREATE TABLE vallalkozo (
  vallalkozo      INT          NOT NULL AUTO_INCREMENT,
  vallalkozo_nev  VARCHAR(50)  NULL,
  munkakor        VARCHAR(50)  NULL,
  oradij          DOUBLE       NULL,
  kiszdij         DOUBLE       NULL,
  afas            VARCHAR(1)   NULL,
  telefon         VARCHAR(50)  NOT NULL DEFAULT '',
  emil            VARCHAR(50)  NOT NULL DEFAULT '',
  cim             VARCHAR(100) NOT NULL DEFAULT '',
  PRIMARY KEY (vallalkozo),
  KEY vallalkozo_nev (vallalkozo_nev)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- ---------------------------------------------------------------------------
-- Sites (cost centres); cim is the site's name. Row -1 is a placeholder.
CREATE TABLE ktgh (
  ktgh           INT          NOT NULL AUTO_INCREMENT,
  cim            VARCHAR(50)  NULL,
  kepviselo      VARCHAR(50)  NULL,
  telefon        VARCHAR(50)  NULL,
  emil           VARCHAR(50)  NULL,
  kepviselo_cim  VARCHAR(50)  NULL,
  PRIMARY KEY (ktgh),
  KEY cim (cim)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- ---------------------------------------------------------------------------
-- Signatories.
CREATE TABLE alairas (
  alairas      INT          NOT NULL AUTO_INCREMENT,
  alairas_nev  VARCHAR(50)  NULL,
  PRIMARY KEY (alairas),
  KEY alairas_nev (alairas_nev)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- ---------------------------------------------------------------------------
-- Statuses. Keys 1..6 have the fixed roles described at the top of the file.
CREATE TABLE statusz (
  statusz      INT          NOT NULL AUTO_INCREMENT,
  statusz_nev  VARCHAR(50)  NULL,
  PRIMARY KEY (statusz),
  KEY statusz_nev (statusz_nev)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- ---------------------------------------------------------------------------
-- Users. jelszomd5 is MD5() of the latin2 password computed by the server.
-- The key compares case-insensitively, so "Admin" and "admin" cannot both
-- exist; the CHECK refuses an empty login name, which the user editor reports.
CREATE TABLE felhasznalo (
  felhasznalo      VARCHAR(20)  NOT NULL,
  felhasznalo_nev  VARCHAR(20)  NULL,
  jelszomd5        VARCHAR(50)  NULL,
  rendszergazda    CHAR(1)      NULL,
  torzsszerkeszt   CHAR(1)      NULL,
  nyomtathat       VARCHAR(1)   NULL,
  rogzitve         DATETIME     NULL DEFAULT CURRENT_TIMESTAMP,
  PRIMARY KEY (felhasznalo),
  CONSTRAINT felhasznalo_nem_ures CHECK (felhasznalo <> '')
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- ---------------------------------------------------------------------------
-- Database-wide settings: exactly one row, addressed without a condition.
-- The key column can only hold 1, so a second row is refused.
CREATE TABLE beallit (
  beallit          TINYINT      NOT NULL DEFAULT 1,
  vanbelep         VARCHAR(1)   NULL DEFAULT 'N',
  verzioelfogadva  VARCHAR(255) NULL DEFAULT '23.0.0.44',
  -- NOT NULL: "UPDATE ... WHERE hirelfogadva < n" would never match a NULL.
  hirelfogadva     INT          NOT NULL DEFAULT 0,
  PRIMARY KEY (beallit),
  CONSTRAINT beallit_egy_sor CHECK (beallit = 1)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- ---------------------------------------------------------------------------
-- Zomi's own: whether the users' rights guard what they name ('I'), or every
-- user may do everything, as the Windows clients let ('N'). Exactly one row;
-- a database without this table counts as 'N'. Only an administrator changes
-- it, in the settings dialog.
CREATE TABLE jogosultsag (
  jogosultsag  TINYINT     NOT NULL DEFAULT 1,
  kotelezo     VARCHAR(1)  NOT NULL DEFAULT 'N',
  PRIMARY KEY (jogosultsag),
  CONSTRAINT jogosultsag_egy_sor CHECK (jogosultsag = 1)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- ---------------------------------------------------------------------------
-- Version of this structure; the program shows MAX(verzio). Add a row with
-- the next number whenever the structure changes.
CREATE TABLE verzio (
  verzio    INT          NOT NULL,
  leiras    VARCHAR(255) NULL,
  rogzitve  DATETIME     NULL DEFAULT CURRENT_TIMESTAMP,
  PRIMARY KEY (verzio)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- ---------------------------------------------------------------------------
-- Messages to the users. The number is given by whoever writes the message
-- (not auto-increment), so the same message keeps its number everywhere.
CREATE TABLE uzenet (
  uzenet       INT          NOT NULL,
  szoveg       TEXT         NULL,
  link         VARCHAR(255) NOT NULL DEFAULT '',
  csakegyszer  VARCHAR(1)   NULL,
  olvasva      VARCHAR(1)   NULL DEFAULT 'N',
  PRIMARY KEY (uzenet),
  KEY olvasva (olvasva)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- ---------------------------------------------------------------------------
-- Issuer of the work orders (one row; the sheet prints it, the caption shows it).
CREATE TABLE tulajdonos (
  tulajdonos  VARCHAR(100) NOT NULL,
  cim         VARCHAR(100) NULL,
  telefon     VARCHAR(50)  NULL,
  PRIMARY KEY (tulajdonos)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- ---------------------------------------------------------------------------
-- Display number of a work order, see the rule at the top of the file; the
-- column zomi.sorszamstr repeats the expression for the list.
CREATE FUNCTION fn_sorszamstr(p_sorszam INT, p_ev INT)
  RETURNS VARCHAR(15) CHARACTER SET latin2 COLLATE latin2_hungarian_ci
  DETERMINISTIC NO SQL SQL SECURITY INVOKER
  RETURN LEFT(CONCAT(
           CASE WHEN p_ev IS NULL THEN '----'
                WHEN p_ev BETWEEN 0 AND 9999 THEN LPAD(p_ev, 4, '0')
                ELSE p_ev END,
           '/',
           CASE WHEN p_sorszam IS NULL THEN '-----'
                WHEN p_sorszam BETWEEN 0 AND 99999 THEN LPAD(p_sorszam, 5, '0')
                ELSE p_sorszam END),
         15);

-- ---------------------------------------------------------------------------
-- Status maintenance, see the rule at the top of the file. Both statements
-- are range scans of statusz_hatar over the open/overdue rows only, so the
-- call stays cheap however many closed work orders the table holds.
DELIMITER //
CREATE PROCEDURE sp_setstatusz()
  MODIFIES SQL DATA SQL SECURITY INVOKER
BEGIN
  IF EXISTS (SELECT 1 FROM statusz WHERE statusz = 4) THEN
    UPDATE zomi SET statusz = 4
     WHERE statusz IN (1, 2) AND hatar_datum < CURDATE();
  END IF;
  IF EXISTS (SELECT 1 FROM statusz WHERE statusz = 1) THEN
    UPDATE zomi SET statusz = 1
     WHERE statusz = 4 AND (hatar_datum >= CURDATE() OR hatar_datum IS NULL);
  END IF;
END//
DELIMITER ;

-- ---------------------------------------------------------------------------
-- The register list. Outer joins keep work orders whose master rows are
-- missing; the view merges into the program's query, so its WHERE conditions
-- on datum, sorszamstr, cim, vallalkozo_nev and statusz_nev apply directly.
-- szin follows the rule at the top of the file.
CREATE ALGORITHM=MERGE SQL SECURITY INVOKER VIEW vw_zomi AS
SELECT z.zomi,
       z.sorszam,
       z.sorszamstr,
       z.datum,
       z.ido,
       z.kiad_datum,
       z.hatar_datum,
       z.ktgh,
       k.cim,
       v.vallalkozo_nev,
       a.alairas_nev,
       s.statusz_nev,
       CASE WHEN z.statusz IN (1, 2) AND z.hatar_datum < CURDATE() THEN 5
            WHEN z.statusz = 1 THEN 2
            WHEN z.statusz = 2 THEN 3
            WHEN z.statusz = 3 THEN 4
            WHEN z.statusz = 4 THEN 5
            WHEN z.statusz = 5 THEN 6
            WHEN z.statusz = 6 THEN 7
            ELSE 0 END AS szin
  FROM zomi z
  LEFT JOIN vallalkozo v ON v.vallalkozo = z.vallalkozo
  LEFT JOIN ktgh       k ON k.ktgh       = z.ktgh
  LEFT JOIN alairas    a ON a.alairas    = z.alairas
  LEFT JOIN statusz    s ON s.statusz    = z.statusz;

-- Totals per status over all work orders. Grouped before the join so that the
-- status name comes from one lookup per status; work orders whose status has
-- no row still count, with a NULL name.
CREATE SQL SECURITY INVOKER VIEW vw_ossz AS
SELECT g.statusz,
       s.statusz_nev,
       g.db,
       g.ossz
  FROM (SELECT statusz, COUNT(*) AS db, SUM(ossz) AS ossz
          FROM zomi
         GROUP BY statusz) g
  LEFT JOIN statusz s ON s.statusz = g.statusz;

-- ---------------------------------------------------------------------------
-- Rows every database starts with.

-- Placeholders -1. An explicit negative key leaves the auto-increment counter
-- alone, so the first real contractor and site still get key 1.
INSERT INTO vallalkozo (vallalkozo, vallalkozo_nev, munkakor, oradij, kiszdij, afas, telefon, emil, cim)
VALUES (-1, '<nincs megadva>', '', NULL, NULL, 'N', '', '', '');
INSERT INTO ktgh (ktgh, cim, kepviselo, telefon, emil, kepviselo_cim)
VALUES (-1, '<nincs megadva>', '', '', '', '');

INSERT INTO statusz (statusz, statusz_nev) VALUES
  (1, 'Rögzítve'),
  (2, 'Folyamatban'),
  (3, 'Elkészült'),
  (4, 'Határidõn túl'),
  (5, 'Számlázva'),
  (6, 'Sztornózva');

INSERT INTO beallit (beallit, vanbelep, verzioelfogadva, hirelfogadva)
VALUES (1, 'N', '23.0.0.44', 0);

-- A database made from this structure guards the rights from the start.
INSERT INTO jogosultsag (jogosultsag, kotelezo) VALUES (1, 'I');

INSERT INTO tulajdonos (tulajdonos, cim, telefon)
VALUES ('Kiállító szervezet', '', '');

INSERT INTO verzio (verzio, leiras) VALUES (1, 'Kezdeti adatbázis-szerkezet');
INSERT INTO verzio (verzio, leiras) VALUES (2, 'Jogosultságok érvényesítése');

-- Default administrator, password "admin"; the digest is the server's MD5()
-- of the latin2 text, the same the login computes.
INSERT INTO felhasznalo (felhasznalo, felhasznalo_nev, jelszomd5, rendszergazda, torzsszerkeszt, nyomtathat)
VALUES ('admin', 'Rendszergazda', MD5('admin'), 'I', 'I', 'I');
