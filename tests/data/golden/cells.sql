 DROP TABLE IF EXISTS cells;
 CREATE TABLE cells (
V                                                 Char(10),
AMOUNT                                            Numeric(12,5));
insert into cells values('12',12.5);
insert into cells values('32766',12);
insert into cells values('32767',-3.25);
insert into cells values('20240131',1e-05);
insert into cells values('12.50',null);
insert into cells values('T',null);
insert into cells values('abc',null);
insert into cells values('1.2.3',null);
insert into cells values('',null);
insert into cells values('007',null);
insert into cells values('-5',null);
insert into cells values('0',null);
insert into cells values('1 2',null);
insert into cells values('1e3',null);
insert into cells values('5e-1',null);
insert into cells values('nan',null);
insert into cells values('12,5',null);
insert into cells values('0.00001',null);
