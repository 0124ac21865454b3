 DROP TABLE IF EXISTS widths;
 CREATE TABLE widths (
FRACTION                                          Numeric,
WIDE                                              Numeric,
HUGE                                              Numeric,
FITS                                              Numeric(6,2),
ZERO                                              Numeric);
insert into widths values(12.5,12345,null,123.45,null);
insert into widths values(3,1.5,-9e+99,-1.5,null);
