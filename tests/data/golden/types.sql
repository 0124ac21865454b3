 DROP TABLE IF EXISTS types;
 CREATE TABLE types (
CODE                                              Char(6),
QTY                                               Integer,
PRICE                                             Numeric(9,2),
RATE                                              Numeric(12,4),
SOLD                                              Char(8),
PAID                                              Boolean,
NOTES                                             Text,
ID                                                Integer,
COST                                              Numeric(19,4),
STAMP                                             Timestamp);
insert into types values('A-100',12,9.99,0.0825,'20240131',TRUE,'',1,12.5,'2024-01-31 09:30:00');
insert into types values('B-200',null,1234.5,-1.5,'20230704',FALSE,'',2,-0.0001,null);
insert into types values('C-300',32767,0.01,null,'',FALSE,'',-3,922337203685.4775,'1999-12-31 23:59:59');
insert into types values('D-400',null,null,null,'20000229',FALSE,'',2147483647,0,'2000-01-01 00:00:00');
