 DROP TABLE IF EXISTS customers;
 CREATE TABLE customers (
NAME                                              Char(24),
CITY                                              Char(16),
BALANCE                                           Numeric(10,2),
JOINED                                            Char(8),
ACTIVE                                            Boolean);
insert into customers values('Ana Müller','Zürich',1250.5,'20190314',TRUE);
insert into customers values('François Dupré','Besançon',-42.25,'20211102',TRUE);
insert into customers values('José Núñez','Málaga',980,'',FALSE);
insert into customers values('Pat "the Cat" O''Neil','Köln',null,'20240229',TRUE);
insert into customers values('Søren Kierkegård','København',123456.78,'20100630',TRUE);
