-- The record store at version 0: its tables as first supplied. Column order is
-- part of the format: windows read some tables by position. Text widths are
-- enforced by CHECK so an over-long value is refused whole instead of being
-- cut. Booleans are 0/1. Every later change (an index, a table) is a step in
-- SchemaSteps.cpp, so it reaches the stores users already have; the build runs
-- those steps on this form to make the supplied pad.db.

CREATE TABLE public_code (
  pub_id          TEXT CHECK (length(pub_id) <= 50),
  pub_code        TEXT CHECK (length(pub_code) <= 255),
  pub_end         TEXT CHECK (length(pub_end) <= 50),
  pub_static      BOOLEAN NOT NULL DEFAULT 0 CHECK (pub_static IN (0, 1)),
  pub_static_do_n BOOLEAN NOT NULL DEFAULT 0 CHECK (pub_static_do_n IN (0, 1)),
  pub_static_do_d BOOLEAN NOT NULL DEFAULT 0 CHECK (pub_static_do_d IN (0, 1))
);

CREATE TABLE note_pad (
  date_id   TEXT CHECK (length(date_id) <= 14),
  note_memo TEXT
);

CREATE TABLE job_do (
  id          TEXT CHECK (length(id) <= 14),
  date_id     TEXT CHECK (length(date_id) <= 50),
  job_memo    TEXT,
  alter_yn    BOOLEAN NOT NULL DEFAULT 0 CHECK (alter_yn IN (0, 1)),
  e_dec_yn    BOOLEAN NOT NULL DEFAULT 0 CHECK (e_dec_yn IN (0, 1)),
  complete_yn TEXT CHECK (length(complete_yn) <= 14)
);

CREATE TABLE job_do_sub (
  id           TEXT CHECK (length(id) <= 14),
  date_id      TEXT CHECK (length(date_id) <= 50),
  job_memo_sub TEXT,
  e_dec_yn     BOOLEAN NOT NULL DEFAULT 0 CHECK (e_dec_yn IN (0, 1))
);

CREATE TABLE pe_info (
  pe_id    TEXT CHECK (length(pe_id) <= 14),
  pe_name  TEXT CHECK (length(pe_name) <= 50),
  pe_sex   BOOLEAN NOT NULL DEFAULT 1 CHECK (pe_sex IN (0, 1)),
  n_add    TEXT CHECK (length(n_add) <= 50),
  pe_mib   TEXT CHECK (length(pe_mib) <= 50),
  pe_other TEXT CHECK (length(pe_other) <= 50),
  pe_h_tel TEXT CHECK (length(pe_h_tel) <= 50),
  post     TEXT CHECK (length(post) <= 50),
  pe_code  TEXT CHECK (length(pe_code) <= 50),
  code_add TEXT CHECK (length(code_add) <= 50),
  net_con  TEXT CHECK (length(net_con) <= 50),
  pe_memo  TEXT,
  pe_img   BLOB,
  e_dec_yn BOOLEAN NOT NULL DEFAULT 0 CHECK (e_dec_yn IN (0, 1))
);

CREATE TABLE pe_dw_info (
  pe_id    TEXT CHECK (length(pe_id) <= 14),
  dw_name  TEXT CHECK (length(dw_name) <= 255),
  dw_add   TEXT CHECK (length(dw_add) <= 255),
  dw_tel   TEXT CHECK (length(dw_tel) <= 255),
  dw_fax   TEXT CHECK (length(dw_fax) <= 255),
  dw_url   TEXT CHECK (length(dw_url) <= 255),
  pe_memo  TEXT,
  e_dec_yn BOOLEAN NOT NULL DEFAULT 0 CHECK (e_dec_yn IN (0, 1))
);

CREATE TABLE pe_other_info (
  pe_id         TEXT CHECK (length(pe_id) <= 14),
  pe_other_memo TEXT,
  e_dec_yn      BOOLEAN NOT NULL DEFAULT 0 CHECK (e_dec_yn IN (0, 1))
);

CREATE TABLE povince (
  provinceID TEXT CHECK (length(provinceID) <= 50),
  province   TEXT CHECK (length(province) <= 50)
);

CREATE TABLE city (
  cityID TEXT CHECK (length(cityID) <= 50),
  city   TEXT CHECK (length(city) <= 50),
  father TEXT CHECK (length(father) <= 50)
);

CREATE TABLE area (
  areaID TEXT CHECK (length(areaID) <= 50),
  area   TEXT CHECK (length(area) <= 50),
  father TEXT CHECK (length(father) <= 50)
);

-- The start-up password flag: "乌苏尔市" while no password is set. Its father
-- key is used by no city, so the region lookup never lists it.
INSERT INTO area (areaID, area, father) VALUES ('671001', '乌苏尔市', '671000');
