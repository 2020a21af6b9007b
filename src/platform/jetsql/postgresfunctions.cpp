// The collation and functions that PostgreSQL text of translated Jet
// statements relies on. Everything is idempotent, so installing twice is
// harmless.

#include "translate.h"

namespace lg::jetsql {

QString postgresSetupSql()
{
    return QStringLiteral(R"SQL(
DO $$ BEGIN
  IF NOT EXISTS (SELECT 1 FROM pg_collation WHERE collname = 'jet_ci') THEN
    CREATE COLLATION jet_ci (provider = icu, locale = 'hu-HU-u-ks-level2', deterministic = false);
  END IF;
END $$;

CREATE OR REPLACE FUNCTION jet_num(d timestamp) RETURNS double precision LANGUAGE sql IMMUTABLE STRICT AS $f$
  SELECT CASE WHEN d >= timestamp '1899-12-30'
              THEN extract(epoch FROM d - timestamp '1899-12-30') / 86400
              ELSE (d::date - date '1899-12-30') - extract(epoch FROM d - d::date) / 86400 END::double precision $f$;
CREATE OR REPLACE FUNCTION jet_date(n double precision) RETURNS timestamp(0) LANGUAGE sql IMMUTABLE STRICT AS $f$
  SELECT (timestamp '1899-12-30' + trunc(n) * interval '1 day' + abs(n - trunc(n)) * interval '1 day')::timestamp(0) $f$;

CREATE OR REPLACE FUNCTION jet_concat(a text, b text) RETURNS text LANGUAGE sql IMMUTABLE AS $f$
  SELECT CASE WHEN a IS NULL AND b IS NULL THEN NULL ELSE coalesce(a, '') || coalesce(b, '') END $f$;

CREATE OR REPLACE FUNCTION jet_add(a double precision, b double precision) RETURNS double precision
  LANGUAGE sql IMMUTABLE STRICT AS $f$ SELECT a + b $f$;
CREATE OR REPLACE FUNCTION jet_add(a numeric, b numeric) RETURNS numeric
  LANGUAGE sql IMMUTABLE STRICT AS $f$ SELECT a + b $f$;
CREATE OR REPLACE FUNCTION jet_add(a text, b text) RETURNS text
  LANGUAGE sql IMMUTABLE STRICT AS $f$ SELECT a || b $f$;
CREATE OR REPLACE FUNCTION jet_add(a timestamp, b double precision) RETURNS timestamp(0)
  LANGUAGE sql IMMUTABLE STRICT AS $f$ SELECT jet_date(jet_num(a) + b) $f$;
CREATE OR REPLACE FUNCTION jet_add(a double precision, b timestamp) RETURNS timestamp(0)
  LANGUAGE sql IMMUTABLE STRICT AS $f$ SELECT jet_date(a + jet_num(b)) $f$;
CREATE OR REPLACE FUNCTION jet_add(a timestamp, b timestamp) RETURNS timestamp(0)
  LANGUAGE sql IMMUTABLE STRICT AS $f$ SELECT jet_date(jet_num(a) + jet_num(b)) $f$;

CREATE OR REPLACE FUNCTION jet_sub(a double precision, b double precision) RETURNS double precision
  LANGUAGE sql IMMUTABLE STRICT AS $f$ SELECT a - b $f$;
CREATE OR REPLACE FUNCTION jet_sub(a numeric, b numeric) RETURNS numeric
  LANGUAGE sql IMMUTABLE STRICT AS $f$ SELECT a - b $f$;
CREATE OR REPLACE FUNCTION jet_sub(a timestamp, b double precision) RETURNS timestamp(0)
  LANGUAGE sql IMMUTABLE STRICT AS $f$ SELECT jet_date(jet_num(a) - b) $f$;
CREATE OR REPLACE FUNCTION jet_sub(a timestamp, b timestamp) RETURNS double precision
  LANGUAGE sql IMMUTABLE STRICT AS $f$ SELECT jet_num(a) - jet_num(b) $f$;

-- \ and Mod round their operands to whole numbers first (half to even, as
-- float8 round() does), then divide towards zero.
CREATE OR REPLACE FUNCTION jet_idiv(a double precision, b double precision) RETURNS bigint
  LANGUAGE sql IMMUTABLE STRICT AS $f$ SELECT trunc(round(a) / round(b))::bigint $f$;
CREATE OR REPLACE FUNCTION jet_mod(a double precision, b double precision) RETURNS bigint
  LANGUAGE sql IMMUTABLE STRICT AS $f$ SELECT mod(round(a)::bigint, round(b)::bigint) $f$;

-- Case-insensitive text search: both sides folded by ICU, searched bytewise
-- (the text collation cannot be searched in). A function's result takes its
-- argument's collation, so callers put COLLATE "C" on the result.
CREATE OR REPLACE FUNCTION jet_fold(s text) RETURNS text LANGUAGE sql IMMUTABLE STRICT AS $f$
  SELECT lower(s COLLATE "hu-HU-x-icu") COLLATE "C" $f$;
CREATE OR REPLACE FUNCTION jet_instr(start double precision, s text, t text) RETURNS integer
  LANGUAGE sql IMMUTABLE STRICT AS $f$
  SELECT CASE WHEN p = 0 THEN 0 ELSE p + round(start)::integer - 1 END
  FROM (SELECT strpos(substr(jet_fold(s), round(start)::integer) COLLATE "C", jet_fold(t) COLLATE "C") AS p) AS x $f$;

-- Jet LIKE: * ? # [list] [!list], without regard to case.
CREATE OR REPLACE FUNCTION jet_like_regex(p text) RETURNS text LANGUAGE plpgsql IMMUTABLE STRICT AS $f$
DECLARE
  r text := '^';
  i integer := 1;
  c text;
  j integer;
BEGIN
  WHILE i <= length(p) LOOP
    c := substr(p, i, 1);
    IF c = '*' THEN r := r || '.*';
    ELSIF c = '?' THEN r := r || '.';
    ELSIF c = '#' THEN r := r || '[0-9]';
    ELSIF c = '[' THEN
      j := strpos(substr(p, i + 1), ']');
      IF j = 0 THEN RAISE EXCEPTION 'Invalid pattern string.' USING ERRCODE = '2201B'; END IF;
      IF j = 1 THEN r := r || '\[';  -- "[]" matches nothing in Jet; keep it literal
      ELSE
        r := r || '[' || CASE WHEN substr(p, i + 1, 1) = '!' THEN '^' || replace(substr(p, i + 2, j - 2), '\', '\\')
                              ELSE replace(substr(p, i + 1, j - 1), '\', '\\') END || ']';
      END IF;
      i := i + j;
    ELSE r := r || regexp_replace(c, '([.^$+(){}|\\])', '\\\1');
    END IF;
    i := i + 1;
  END LOOP;
  RETURN r || '$';
END $f$;
CREATE OR REPLACE FUNCTION jet_like(v text, p text) RETURNS boolean LANGUAGE sql IMMUTABLE STRICT AS $f$
  SELECT jet_fold(v) COLLATE "C" ~ jet_like_regex(jet_fold(p) COLLATE "C") $f$;

CREATE OR REPLACE FUNCTION jet_first_step(state anyelement, v anyelement) RETURNS anyelement
  LANGUAGE sql IMMUTABLE STRICT AS $f$ SELECT state $f$;
CREATE OR REPLACE FUNCTION jet_last_step(state anyelement, v anyelement) RETURNS anyelement
  LANGUAGE sql IMMUTABLE STRICT AS $f$ SELECT v $f$;
CREATE OR REPLACE AGGREGATE jet_first(anyelement) (sfunc = jet_first_step, stype = anyelement);
CREATE OR REPLACE AGGREGATE jet_last(anyelement) (sfunc = jet_last_step, stype = anyelement);
)SQL");
}

}  // namespace lg::jetsql
