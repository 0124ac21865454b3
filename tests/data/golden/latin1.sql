 DROP TABLE IF EXISTS latin1;
 CREATE TABLE latin1 (
NAME                                              Char(10));
insert into latin1 values('Grüße ');
insert into latin1 values('ab');
