-- The bookmark table and the views Quillory ships with. The build and the
-- program run this once, in one transaction, to make a missing data.mdb.
--
-- Coordinates are the renderer's own: centerY and y1 are imaginary parts, and
-- the picture shows the smallest imaginary part at the top. Every step of the
-- iteration adds 0.001 + 0.001i, so the sets sit 0.001 left of and above the
-- textbook ones; the views below allow for that.
--
-- Names are unique whatever their letter case, and list in that order.
-- x1 and y1 (the Julia constant) stay empty for the Mandelbrot set.

CREATE TABLE tblBookmarks (
  name          TEXT    NOT NULL COLLATE NOCASE UNIQUE CHECK (name <> ''),
  centerX       REAL    NOT NULL,
  centerY       REAL    NOT NULL,
  windowWidth   REAL    NOT NULL,
  maxIterations INTEGER NOT NULL,
  fractalType   INTEGER NOT NULL CHECK (fractalType IN (0, 1)),
  x1            REAL,
  y1            REAL
);

INSERT INTO tblBookmarks (name, centerX, centerY, windowWidth, maxIterations, fractalType) VALUES
  ('The Whole Mandelbrot Set', -0.701, -0.001, 3.2, 256, 0),
  ('Scepter Valley', -1.361, -0.001, 0.12, 512, 0),
  ('Antenna Minibrot', -1.75588, -0.001, 0.04, 512, 0),
  ('Dendrite Branches', -0.1011, -0.9573, 0.01, 1024, 0),
  ('Elephant Valley', 0.2829, -0.0111, 0.006, 1024, 0),
  ('Seahorse Spiral', -0.744643887037151, -0.13282590420533, 0.005, 1024, 0),
  ('Double Spiral', -0.7767, -0.1377, 0.004, 1024, 0),
  ('Deep in the Seahorse Valley', -0.744643887037151, -0.13282590420533, 0.00005, 2048, 0);

INSERT INTO tblBookmarks (name, centerX, centerY, windowWidth, maxIterations, fractalType, x1, y1) VALUES
  ('Julia: Douady Rabbit', 0.0, 0.0, 3.2, 256, 1, -0.124, 0.744),
  ('Julia: Dragon', 0.0, 0.0, 3.2, 512, 1, -0.801, 0.155),
  ('Julia: Siegel Disk', 0.0, 0.0, 3.2, 512, 1, -0.391541, -0.587788);
