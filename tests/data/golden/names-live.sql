 DROP TABLE IF EXISTS names;
 CREATE TABLE names (
"1ST"                                             Char(12),
"A:B"                                             Char(8),
"ÉTÉ"                                             Numeric,
"#X Y"                                            Integer,
"ORDER"                                           Numeric(19,4),
"_OK-1.2"                                         Double precision,
"WHEN"                                            Timestamp,
PIC                                               Text,
"select"                                          Boolean,
Order_2                                           Integer,
N10                                               Numeric(10,0),
ODD                                               Text,
NOTE                                              Text);
insert into names values('it''s
€','20240131',-0.0825,-5,-1234567890.1234,0.30000000000000004,'2024-01-31 09:30:00','',TRUE,12,1234567890,'','');
insert into names values('O''Brien','',null,2147483647,922337203685477.6,1e+300,'2000-01-01 12:34:56','',FALSE,null,-214748364,'','');
