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
"0N10"                                            Numeric(10,0),
ODD                                               Text,
NOTE                                              Text,
"table"                                           Char(3));
insert into names values('it''s
€','20240131',-0.0825,-5,-1234567890.1234,0.30000000000000004,'2024-01-31 09:30:00','',TRUE,12,1234567890,'','','a''b');
insert into names values('','',null,0,0,0,null,'',FALSE,null,null,'','','O''');
insert into names values('rien','',null,-129,3310464584489.3696,1.7563997789169604e-128,null,'',FALSE,-21,4748364,'','','');
