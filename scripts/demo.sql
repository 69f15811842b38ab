-- The demo database scripts/run builds at build/demo.db. Dates are ISO text, as SQLite keeps
-- them; the declared types tell the program what the columns hold.

CREATE TABLE customers (
    id         INTEGER PRIMARY KEY,
    name       VARCHAR(40) NOT NULL,
    city       VARCHAR(30),
    balance    NUMERIC(10,2),
    joined     DATE,
    last_visit DATETIME,
    note       TEXT
);
INSERT INTO customers VALUES
    (1, 'Alice Cohen',  'Tel Aviv',  1250.50, '2021-05-17', '2024-03-01 14:30:00', NULL),
    (2, 'דוד לוי',      'ירושלים',   -80.25,  '2022-11-02', '2024-02-28 09:05:12', 'לקוח ותיק'),
    (3, 'Bob Smith',    'London',    0.00,    '2023-01-09', NULL,                  'pays late'),
    (4, 'שרה מזרחי',    'חיפה',      99999.99, '2020-02-29', '2024-01-15 18:45:00', NULL),
    (5, 'Carlos Ortiz', NULL,        NULL,    NULL,         NULL,                  NULL),
    (6, 'נועה Green',   'Haifa',     15.00,   '2024-03-01', '2024-03-01 00:00:00', 'mixed שפות');

CREATE TABLE products (
    code      CHAR(6) PRIMARY KEY,
    name      VARCHAR(40) NOT NULL,
    name_he   VARCHAR(40),
    price     NUMERIC(8,2) NOT NULL,
    weight_kg REAL,
    in_stock  INTEGER
);
INSERT INTO products VALUES
    ('P-0001', 'Coffee beans', 'פולי קפה', 42.90,  1.0,    120),
    ('P-0002', 'Green tea',    'תה ירוק',  18.00,  0.25,   0),
    ('P-0003', 'Olive oil',    'שמן זית',  64.50,  0.75,   37),
    ('P-0004', 'Honey',        NULL,       31.99,  0.5,    NULL),
    ('P-0005', 'Gift card',    'שובר מתנה', 100.00, NULL,   1000000);

-- No declared key, only SQLite's hidden rowid; two of its rows are identical.
CREATE TABLE price_log (
    code       CHAR(6),
    changed_at DATETIME,
    old_price  NUMERIC(8,2),
    new_price  NUMERIC(8,2),
    reason     TEXT
);
INSERT INTO price_log VALUES
    ('P-0001', '2024-01-01 08:00:00', 39.90, 42.90, 'supplier price'),
    ('P-0001', '2024-01-01 08:00:00', 39.90, 42.90, 'supplier price'),
    ('P-0003', '2024-02-14 12:15:30', 59.00, 64.50, 'מבצע הסתיים'),
    ('P-0004', '2024-03-01 14:30:00', NULL,  31.99, NULL);

-- Enough rows to scroll: one order every 37 minutes from the start of 2024.
CREATE TABLE orders (
    id          INTEGER PRIMARY KEY,
    customer_id INTEGER REFERENCES customers (id),
    product     CHAR(6) REFERENCES products (code),
    ordered_on  DATE,
    ordered_at  DATETIME,
    quantity    INTEGER,
    amount      NUMERIC(10,2),
    discount    REAL,
    note        TEXT
);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000)
INSERT INTO orders
SELECT i,
       1 + i % 6,
       printf('P-%04d', 1 + i % 5),
       date('2024-01-01 08:00:00', printf('+%d minutes', i * 37)),
       datetime('2024-01-01 08:00:00', printf('+%d minutes', i * 37)),
       1 + i % 12,
       (i * 7919 % 100000) / 100.0,
       CASE WHEN i % 7 = 0 THEN 0.15 END,
       CASE i % 4 WHEN 0 THEN 'express' WHEN 1 THEN 'משלוח רגיל' END
FROM n;
